#include "host/cim/ClassRepository.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "common/text/AsciiCase.h"
#include "host/cim/MofError.h"
#include "host/cim/MofParser.h"
#include "host/cim/NamespaceName.h"
#include "host/cim/SystemClasses.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;
using qrv::text::toLowerAscii;

namespace {

// Adds the qualifiers of a declaration nearer the class than those already
// gathered: a qualifier of the same name takes the new value. A base's
// declaration passes on only the qualifiers that subclasses inherit.
void addQualifiers(std::vector<MofQualifier>& gathered, const std::vector<MofQualifier>& declared, bool own) {
  for (const MofQualifier& qualifier : declared) {
    if (!own && !qualifier.inherited) continue;
    const auto same = std::find_if(gathered.begin(), gathered.end(), [&qualifier](const MofQualifier& known) {
      return equalsIgnoringAsciiCase(known.name, qualifier.name);
    });
    if (same == gathered.end()) {
      gathered.push_back(qualifier);
    } else {
      *same = qualifier;
    }
  }
}

}  // namespace

// A class as loaded: its own properties, with a link to its base. The full
// property list is put together when the class is asked for, so a long chain
// of classes takes memory in proportion to its text, not to its square.
struct ClassRepository::StoredClass {
  std::string name;
  std::string nameSpace;
  std::string provider;
  std::string place;
  std::shared_ptr<const StoredClass> base;
  std::size_t depth = 0;
  // Its own qualifiers.
  std::vector<MofQualifier> qualifiers;
  // Its own properties in declaration order, with their origin; a redeclared
  // inherited property keeps the origin of its first declaration.
  std::vector<PropertyDefinition> own;
  std::unordered_map<std::string, std::size_t> ownByName;  // lower-case name -> position in own

  // The nearest declaration of a property along the chain, or null.
  const PropertyDefinition* declaration(const std::string& lowerName) const {
    for (const StoredClass* c = this; c; c = c->base.get()) {
      const auto found = c->ownByName.find(lowerName);
      if (found != c->ownByName.end()) return &c->own[found->second];
    }
    return nullptr;
  }

  // A class may redeclare an inherited property (to make it a key, say) with
  // its type unchanged; it keeps its place and its origin.
  void addOwn(PropertyDefinition property, const std::string& fileName, int line) {
    const std::string lowerName = toLowerAscii(property.name);
    property.origin = name;
    if (const PropertyDefinition* inherited = base ? base->declaration(lowerName) : nullptr) {
      if (inherited->type != property.type || inherited->referencedClass != property.referencedClass) {
        throw MofError(fileName, line,
                       "class " + name + " changes the type of property " + property.name + " of " + inherited->origin);
      }
      property.name = inherited->name;
      property.origin = inherited->origin;
    }
    ownByName.emplace(lowerName, own.size());
    own.push_back(std::move(property));
  }

  std::shared_ptr<ClassDefinition> definition() const {
    std::vector<const StoredClass*> chain;
    for (const StoredClass* c = this; c; c = c->base.get()) chain.push_back(c);
    auto result = std::make_shared<ClassDefinition>();
    result->name = name;
    result->nameSpace = nameSpace;
    result->provider = provider;
    result->place = place;
    if (base) result->superclass = base->name;
    for (auto c = chain.begin() + 1; c != chain.end(); ++c) result->derivation.push_back((*c)->name);
    for (const StoredClass* c : chain) {
      for (const MofQualifier& qualifier : c->qualifiers) {
        const bool applies = c == this || qualifier.inherited;
        if (applies && !result->hasQualifier(qualifier.name)) result->qualifiers.push_back(qualifier);
      }
    }
    std::unordered_map<std::string, std::size_t> positions;
    for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
      const bool own = *c == this;
      for (const PropertyDefinition& property : (*c)->own) {
        const auto [at, added] = positions.try_emplace(toLowerAscii(property.name), result->properties.size());
        if (added) {
          result->properties.push_back(property);
          result->properties.back().qualifiers.clear();
        } else {
          result->properties[at->second].key = result->properties[at->second].key || property.key;
        }
        addQualifiers(result->properties[at->second].qualifiers, property.qualifiers, own);
      }
    }
    return result;
  }
};

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

// The document's instances, checked against their system classes, with
// every alias value pointing at the instance of that alias.
std::vector<std::shared_ptr<MofInstance>> instancesOf(const MofDocument& document) {
  std::vector<std::shared_ptr<MofInstance>> instances;
  std::unordered_map<std::string, const MofInstance*> aliased;  // lower-case alias -> instance
  for (const MofInstance& declared : document.instances) {
    checkSystemInstance(declared);
    instances.push_back(std::make_shared<MofInstance>(declared));
    if (!declared.alias.empty()) aliased.emplace(toLowerAscii(declared.alias), instances.back().get());
  }
  for (const auto& instance : instances) {
    for (MofPropertyValue& property : instance->properties) {
      if (property.value.kind != MofInitializer::Kind::Alias) continue;
      const auto target = aliased.find(toLowerAscii(property.value.text));
      if (target == aliased.end()) {
        throw MofError(instance->file, property.line, "unknown alias $" + property.value.text);
      }
      property.value.instance = target->second;
    }
  }
  return instances;
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
  if (files.empty()) foldersWithoutMof_.push_back(fileOrFolder.string());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) loadFile(file);
}

void ClassRepository::loadFile(const std::filesystem::path& file) {
  loadText(readText(file), file.string());
  files_.push_back(file.string());
}

void ClassRepository::loadText(std::string_view text, const std::string& fileName) {
  const MofDocument document = parseMof(text, fileName);
  ClassMap loaded = classes_;
  for (const MofClass& declared : document.classes) {
    const std::string key = classKey(declared.nameSpace, declared.name);
    if (loaded.count(key)) throw MofError(fileName, declared.line, "class " + declared.name + " defined twice");
    auto stored = std::make_shared<StoredClass>();
    stored->name = declared.name;
    stored->nameSpace = declared.nameSpace;
    stored->provider = declared.provider;
    stored->place = fileName + ":" + std::to_string(declared.line);
    stored->qualifiers = declared.qualifiers;
    if (!declared.superclass.empty()) {
      const auto base = loaded.find(classKey(declared.nameSpace, declared.superclass));
      if (base == loaded.end()) {
        throw MofError(fileName, declared.line, "unknown base class " + declared.superclass);
      }
      stored->base = base->second;
      stored->depth = base->second->depth + 1;
      if (stored->depth > kMaxDerivationDepth) {
        throw MofError(fileName, declared.line,
                       "class " + declared.name + " derives through more than " +
                           std::to_string(kMaxDerivationDepth) + " base classes");
      }
    }
    for (const PropertyDefinition& property : declared.properties) {
      stored->addOwn(property, fileName, declared.line);
    }
    loaded.emplace(key, std::move(stored));
  }
  InstanceMap loadedInstances = instances_;
  for (const auto& instance : instancesOf(document)) {
    loadedInstances[classKey(instance->nameSpace, instance->className)].push_back(instance);
  }
  classes_.swap(loaded);
  instances_.swap(loadedInstances);
}

std::vector<std::shared_ptr<const ClassDefinition>> ClassRepository::classes(std::string_view nameSpace) const {
  const std::string prefix = classKey(nameSpace, "");
  std::vector<std::shared_ptr<const ClassDefinition>> found;
  for (auto stored = classes_.lower_bound(prefix);
       stored != classes_.end() && stored->first.compare(0, prefix.size(), prefix) == 0; ++stored) {
    found.push_back(stored->second->definition());
  }
  return found;
}

std::vector<std::shared_ptr<const MofInstance>> ClassRepository::instances(std::string_view nameSpace,
                                                                           std::string_view className) const {
  const auto found = instances_.find(classKey(nameSpace, className));
  if (found == instances_.end()) return {};
  return found->second;
}

std::shared_ptr<const ClassDefinition> ClassRepository::find(std::string_view nameSpace,
                                                             std::string_view className) const {
  const auto found = classes_.find(classKey(nameSpace, className));
  if (found == classes_.end()) return nullptr;
  return found->second->definition();
}
}  // namespace wmihost
