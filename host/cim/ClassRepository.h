#pragma once
// The stand-in's class repository: the CIM classes of every namespace, read
// from MOF files. Class and namespace names are found ignoring case.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/cim/ClassDefinition.h"

namespace wmihost {

class ClassRepository {
 public:
  // Loads a MOF file, or every *.mof file of a folder in name order. A base
  // class must be known when a class derives from it, from an earlier file
  // or earlier in the same file. Throws MofError naming the file and line of
  // the first fault, std::runtime_error for a path that cannot be read; a
  // file that fails adds none of its classes.
  void load(const std::filesystem::path& fileOrFolder);
  // Loads MOF text; fileName is the name its errors carry.
  void loadText(std::string_view text, const std::string& fileName);

  // A class may derive through this many base classes at most.
  static constexpr std::size_t kMaxDerivationDepth = 256;

  // The class with its inherited properties, or null when the namespace
  // holds no such class.
  std::shared_ptr<const ClassDefinition> find(std::string_view nameSpace, std::string_view className) const;

  // Every class of the namespace, in the order of their names ignoring case.
  std::vector<std::shared_ptr<const ClassDefinition>> classesOf(std::string_view nameSpace) const;

  // The MOF files read so far, in the order they were read.
  const std::vector<std::string>& files() const { return files_; }

 private:
  struct StoredClass;
  using ClassMap = std::map<std::string, std::shared_ptr<const StoredClass>>;

  void loadFile(const std::filesystem::path& file);

  ClassMap classes_;
  std::vector<std::string> files_;
};

}  // namespace wmihost
