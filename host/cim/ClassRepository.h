#pragma once
// The stand-in's class repository: the CIM classes of every namespace, and
// the instances of the system classes that register providers, read from
// MOF files. Class and namespace names are found ignoring case.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/cim/ClassDefinition.h"
#include "host/cim/MofInstance.h"

namespace wmihost {

class ClassRepository {
 public:
  // Loads a MOF file, or every *.mof file of a folder in name order. A base
  // class must be known when a class derives from it, from an earlier file
  // or earlier in the same file; an alias, anywhere in the same file. Throws
  // MofError naming the file and line of the first fault,
  // std::runtime_error for a path that cannot be read; a file that fails
  // adds none of its declarations.
  void load(const std::filesystem::path& fileOrFolder);
  // Loads MOF text; fileName is the name its errors carry.
  void loadText(std::string_view text, const std::string& fileName);

  // A class may derive through this many base classes at most.
  static constexpr std::size_t kMaxDerivationDepth = 256;

  // The class with its inherited properties, or null when the namespace
  // holds no such class.
  std::shared_ptr<const ClassDefinition> find(std::string_view nameSpace, std::string_view className) const;

  // The classes of the namespace, with their inherited properties, in name
  // order ignoring case.
  std::vector<std::shared_ptr<const ClassDefinition>> classes(std::string_view nameSpace) const;

  // The instances of a system class (SystemClasses.h) declared in the
  // namespace, in the order they were read; their alias values name the
  // instances they refer to.
  std::vector<std::shared_ptr<const MofInstance>> instances(std::string_view nameSpace,
                                                            std::string_view className) const;

  // The MOF files read so far, in the order they were read.
  const std::vector<std::string>& files() const { return files_; }
  // The folders loaded that held no MOF file, in the order they were given.
  const std::vector<std::string>& foldersWithoutMof() const { return foldersWithoutMof_; }

 private:
  struct StoredClass;
  using ClassMap = std::map<std::string, std::shared_ptr<const StoredClass>>;
  using InstanceMap = std::map<std::string, std::vector<std::shared_ptr<const MofInstance>>>;

  void loadFile(const std::filesystem::path& file);

  ClassMap classes_;
  InstanceMap instances_;
  std::vector<std::string> files_;
  std::vector<std::string> foldersWithoutMof_;
};

}  // namespace wmihost
