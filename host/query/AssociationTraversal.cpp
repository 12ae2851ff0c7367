#include "host/query/AssociationTraversal.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "common/text/AsciiCase.h"
#include "host/cim/CimTypes.h"
#include "host/query/PropertySelection.h"
#include "host/query/QueryError.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::text::toLowerAscii;

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(WBEM_E_NOT_FOUND);

const WbemObject& hostObject(const ComPtr<IWbemClassObject>& object) { return WbemObject::delivered(object.get()); }

// The path a reference property of the association holds; none while it
// is unset.
std::optional<std::string> referenceOf(const WbemObject& association, const std::string& property) {
  const auto index = association.definition().indexOf(property);
  if (!index || association.value(*index).vt != VT_BSTR) return std::nullopt;
  return storedText(association.value(*index));
}

void note(const InstanceSource& provider, const std::string& line) {
  if (provider.note) provider.note(line);
}

AssociationAnswer failure(HRESULT result, std::string detail) { return {result, {}, std::move(detail)}; }

std::string count(std::size_t number, const std::string& what) {
  return std::to_string(number) + " " + what + (number == 1 ? "" : "s");
}

}  // namespace

AssociationTraversal::AssociationTraversal(const AssociationQuery& query, const ClassRepository& repository,
                                           std::string nameSpace, const ClassDefinition& sourceClass,
                                           PathIdentity source)
    : query_(query),
      repository_(repository),
      nameSpace_(std::move(nameSpace)),
      source_(std::move(source)),
      links_(associationLinks(repository, nameSpace_, sourceClass, query)) {
  if (query_.schemaOnly && source_.isInstance()) {
    throw QueryError(query_.pathPosition, "SchemaOnly takes a class, not an instance, as the source");
  }
}

AssociationAnswer AssociationTraversal::run(const InstanceSource& provider) const {
  if (query_.schemaOnly) return schema();
  std::vector<Match> matches;
  AssociationAnswer answer = referring(provider, matches);
  if (FAILED(answer.result)) return answer;
  if (query_.kind == AssociationQuery::Kind::References) {
    Objects associations;
    for (const Match& match : matches) associations.push_back(match.association);
    return {S_OK, finished(associations), {}};
  }
  std::vector<End> ends;
  for (const Match& match : matches) addEnds(match, ends);
  if (!query_.classDefsOnly) return fetch(provider, ends);
  std::vector<std::string> classes;
  for (const End& end : ends) classes.push_back(end.definition->name);
  return {S_OK, classObjects(classes), {}};
}

AssociationAnswer AssociationTraversal::schema() const {
  std::vector<std::string> classes;
  for (const AssociationLink& link : links_) {
    if (query_.kind == AssociationQuery::Kind::References) {
      classes.push_back(link.association->name);
      continue;
    }
    for (const std::size_t result : link.resultRoles) {
      // The referenced class, or the ResultClass where that derives from it.
      auto end = repository_.find(nameSpace_, link.association->properties[result].referencedClass);
      if (end && query_.resultClass && !end->isA(query_.resultClass->text)) {
        end = repository_.find(nameSpace_, query_.resultClass->text);
      }
      const bool leadsOn = link.sourceRoles.size() > 1 || link.sourceRoles.front() != result;
      if (end && leadsOn && (!query_.requiredQualifier || end->hasQualifier(query_.requiredQualifier->text))) {
        classes.push_back(end->name);
      }
    }
  }
  return {S_OK, classObjects(classes), {}};
}

AssociationAnswer AssociationTraversal::referring(const InstanceSource& provider, std::vector<Match>& matches) const {
  const bool eachOnce = query_.kind == AssociationQuery::Kind::References;
  for (const AssociationLink& link : links_) {
    if (link.association->hasQualifier("abstract")) continue;
    Objects associations;
    const std::string& name = link.association->name;
    const HRESULT result = provider.enumerate(name, associations);
    if (FAILED(result)) return failure(result, "enumerating the association class " + name + " failed");
    const std::size_t before = matches.size();
    for (const auto& association : associations) {
      for (const std::size_t role : link.sourceRoles) {
        const auto path = referenceOf(hostObject(association), link.association->properties[role].name);
        if (!path || PathIdentity::ofPath(*path, repository_, nameSpace_) != source_) continue;
        matches.push_back({association, &link, role});
        if (eachOnce) break;
      }
    }
    note(provider, count(matches.size() - before, "reference") + " to " + query_.path + " among " +
                  count(associations.size(), "instance") + " of " + name);
  }
  return {};
}

void AssociationTraversal::addEnds(const Match& match, std::vector<End>& ends) const {
  const WbemObject& association = hostObject(match.association);
  for (const std::size_t role : match.link->resultRoles) {
    const auto path = role == match.role ? std::nullopt
                                         : referenceOf(association, match.link->association->properties[role].name);
    if (!path) continue;
    auto identity = PathIdentity::ofPath(*path, repository_, nameSpace_);
    auto definition = identity ? repository_.find(nameSpace_, identity->className()) : nullptr;
    if (!definition || (query_.resultClass && !definition->isA(query_.resultClass->text)) ||
        (query_.requiredQualifier && !definition->hasQualifier(query_.requiredQualifier->text))) {
      continue;
    }
    ends.push_back({*path, std::move(*identity), std::move(definition)});
  }
}

AssociationAnswer AssociationTraversal::fetch(const InstanceSource& provider, const std::vector<End>& ends) const {
  // The distinct ends of each class, classes in the order they come.
  std::vector<std::vector<const End*>> byClass;
  std::map<PathIdentity, ComPtr<IWbemClassObject>> found;
  for (const End& end : ends) {
    if (!found.emplace(end.identity, ComPtr<IWbemClassObject>()).second) continue;
    auto same = byClass.begin();
    while (same != byClass.end() && same->front()->definition->name != end.definition->name) ++same;
    if (same == byClass.end()) same = byClass.insert(byClass.end(), std::vector<const End*>());
    same->push_back(&end);
  }
  for (const auto& classEnds : byClass) {
    AssociationAnswer answer = fetchClass(provider, classEnds, found);
    if (FAILED(answer.result)) return answer;
  }
  Objects objects;
  for (const End& end : ends) {
    if (const auto& object = found[end.identity]) objects.push_back(object);
  }
  return {S_OK, finished(objects), {}};
}

AssociationAnswer AssociationTraversal::fetchClass(const InstanceSource& provider, const std::vector<const End*>& ends,
                                                   std::map<PathIdentity, ComPtr<IWbemClassObject>>& found) const {
  const std::string& name = ends.front()->definition->name;
  Objects delivered;
  if (ends.size() == 1) {
    const std::string& path = ends.front()->path;
    note(provider, "getting " + path);
    const HRESULT result = provider.get(path, delivered);
    if (result == kNotFound) note(provider, path + " is not found: left out");
    if (result == kNotFound || (SUCCEEDED(result) && delivered.empty())) return {};
    if (SUCCEEDED(result)) {
      found[ends.front()->identity] = delivered.front();
      return {};
    }
    if (!declines(result)) return failure(result, "getting " + path + " failed");
    note(provider, "the provider declined the get of " + path + ": enumerating " + name);
  }
  note(provider, "enumerating " + name + " for " + count(ends.size(), "object"));
  const HRESULT result = provider.enumerate(name, delivered);
  if (FAILED(result)) return failure(result, "enumerating " + name + " failed");
  for (const auto& object : delivered) {
    const auto identity = PathIdentity::ofObject(hostObject(object));
    const auto wanted = identity ? found.find(*identity) : found.end();
    if (wanted != found.end()) wanted->second = object;
  }
  return {};
}

AssociationTraversal::Objects AssociationTraversal::classObjects(const std::vector<std::string>& classNames) const {
  Objects classes;
  std::vector<std::string> seen;
  for (const std::string& name : classNames) {
    const std::string key = toLowerAscii(name);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
    seen.push_back(key);
    classes.push_back(ComPtr<IWbemClassObject>::share(WbemObject::newClass(repository_.find(nameSpace_, name)).get()));
  }
  return classes;
}

AssociationTraversal::Objects AssociationTraversal::finished(const Objects& objects) const {
  if (query_.classDefsOnly) {
    std::vector<std::string> classes;
    for (const auto& object : objects) classes.push_back(hostObject(object).definition().name);
    return classObjects(classes);
  }
  if (!query_.keysOnly) return objects;
  std::map<std::string, PropertySelection> keysOf;
  Objects cut;
  for (const auto& object : objects) {
    const ClassDefinition& definition = hostObject(object).definition();
    const auto selection =
        keysOf.try_emplace(definition.name, definition, std::vector<bool>(definition.properties.size())).first;
    cut.push_back(selection->second.cut(hostObject(object)));
  }
  return cut;
}

}  // namespace wmihost
