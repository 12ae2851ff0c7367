#include "host/cim/ClassRepository.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "common/text/AsciiCase.h"
#include "host/cim/MofError.h"
#include "host/cim/MofParser.h"
#include "host/cim/NamespaceName.h"

namespace wmihost {

using qrv::text::toLowerAscii;

namespace {

std::string classKey(std::string_view nameSpace, std::string_view className) {
  return namespaceKey(nameSpace) + ":" + toLowerAscii(className);
}

std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) throw std::runtime_error(file.string() + ": cannot be read");
  return text.str();
}

bool isMofFile(const std::filesystem::directory_entry& entry) {
  return entry.is_regular_file() && toLowerAscii(entry.path().extension().string()) == ".mof";
}

// Adds a property of the class itself after the inherited ones. A class may
// redeclare an inherited property (to make it a key, say) with its type
// unchanged; it keeps its place and its origin.
void addOwnProperty(ClassDefinition& definition, PropertyDefinition property, const std::string& fileName, int line) {
  const auto inheritedAt = definition.indexOf(property.name);
  if (!inheritedAt) {
    property.origin = definition.name;
    definition.properties.push_back(std::move(property));
    return;
  }
  PropertyDefinition& inherited = definition.properties[*inheritedAt];
  if (inherited.type != property.type || inherited.referencedClass != property.referencedClass) {
    throw MofError(
        fileName, line,
        "class " + definition.name + " changes the type of property " + property.name + " of " + inherited.origin);
  }
  inherited.key = inherited.key || property.key;
}

}  // namespace

void ClassRepository::load(const std::filesystem::path& fileOrFolder) {
  if (!std::filesystem::is_directory(fileOrFolder)) {
    loadFile(fileOrFolder);
    return;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(fileOrFolder)) {
    if (isMofFile(entry)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) loadFile(file);
}

void ClassRepository::loadFile(const std::filesystem::path& file) {
  loadText(readText(file), file.string());
  files_.push_back(file.string());
}

void ClassRepository::loadText(std::string_view text, const std::string& fileName) {
  ClassMap loaded = classes_;
  for (const MofClass& declared : parseMof(text, fileName)) {
    const std::string key = classKey(declared.nameSpace, declared.name);
    if (loaded.count(key)) throw MofError(fileName, declared.line, "class " + declared.name + " defined twice");
    auto definition = std::make_shared<ClassDefinition>();
    definition->name = declared.name;
    definition->nameSpace = declared.nameSpace;
    if (!declared.superclass.empty()) {
      const auto base = loaded.find(classKey(declared.nameSpace, declared.superclass));
      if (base == loaded.end()) {
        throw MofError(fileName, declared.line, "unknown base class " + declared.superclass);
      }
      definition->superclass = base->second->name;
      definition->properties = base->second->properties;
    }
    for (const PropertyDefinition& property : declared.properties) {
      addOwnProperty(*definition, property, fileName, declared.line);
    }
    loaded.emplace(key, std::move(definition));
  }
  classes_.swap(loaded);
}

std::shared_ptr<const ClassDefinition> ClassRepository::find(std::string_view nameSpace,
                                                             std::string_view className) const {
  const auto found = classes_.find(classKey(nameSpace, className));
  return found == classes_.end() ? nullptr : found->second;
}

}  // namespace wmihost
