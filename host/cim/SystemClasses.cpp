#include "host/cim/SystemClasses.h"

#include <string>
#include <vector>

#include "common/text/AsciiCase.h"
#include "host/cim/CimTypes.h"
#include "host/cim/MofError.h"
#include "host/cim/MofParser.h"

namespace wmihost {

namespace {

using Kind = MofInitializer::Kind;

// Flattened: the properties of __Provider and of __ProviderRegistration and
// __ObjectProviderRegistration are given in the classes that inherit them.
constexpr char kSystemMof[] = R"(
class __Win32Provider
{
  [key] string Name;
  string ClientLoadableCLSID;
  string CLSID;
  sint32 Concurrency;
  string DefaultMachineName;
  boolean Enabled;
  string HostingModel;
  sint32 ImpersonationLevel;
  sint32 InitializationReentrancy;
  datetime InitializationTimeoutInterval;
  boolean InitializeAsAdminFirst;
  datetime OperationTimeoutInterval;
  boolean PerLocaleInitialization;
  boolean PerUserInitialization;
  boolean Pure;
  string SecurityDescriptor;
  boolean SupportsExplicitShutdown;
  boolean SupportsExtendedStatus;
  boolean SupportsQuotas;
  boolean SupportsSendStatus;
  boolean SupportsShutdown;
  boolean SupportsThrottling;
  datetime UnloadTimeout;
  uint32 Version;
};

class __InstanceProviderRegistration
{
  [key] __Provider ref Provider;
  sint32 InteractionType;
  string QuerySupportLevels[];
  boolean SupportsBatching;
  boolean SupportsDelete;
  boolean SupportsEnumeration;
  boolean SupportsGet;
  boolean SupportsPut;
  boolean SupportsTransactions;
};
)";

std::vector<ClassDefinition> definitionsOf(const std::vector<MofClass>& classes) {
  std::vector<ClassDefinition> definitions;
  for (const MofClass& declared : classes) {
    ClassDefinition& definition = definitions.emplace_back();
    definition.name = declared.name;
    definition.properties = declared.properties;
  }
  return definitions;
}

const std::vector<ClassDefinition>& systemClasses() {
  static const std::vector<ClassDefinition> classes = definitionsOf(parseMof(kSystemMof, "system classes").classes);
  return classes;
}

bool scalarFits(CIMTYPE type, Kind kind) {
  switch (kind) {
    case Kind::Text:
      return type == CIM_STRING || type == CIM_DATETIME || type == CIM_REFERENCE;
    case Kind::Boolean:
      return type == CIM_BOOLEAN;
    case Kind::Alias:
      return type == CIM_REFERENCE;
    case Kind::Number:
      return type != CIM_STRING && type != CIM_DATETIME && type != CIM_REFERENCE && type != CIM_BOOLEAN &&
             type != CIM_OBJECT;
    default:
      return false;
  }
}

std::string typeText(const PropertyDefinition& property) {
  return mofTypeName(scalarOf(property.type), property.referencedClass) + (isArray(property.type) ? "[]" : "");
}

std::string kindText(const MofInitializer& value) {
  switch (value.kind) {
    case Kind::Text:
      return "text";
    case Kind::Number:
      return "a number";
    case Kind::Boolean:
      return value.boolean ? "TRUE" : "FALSE";
    case Kind::Alias:
      return "an alias";
    default:
      return "an array";
  }
}

// What of the value does not fit a property of the type; empty when it fits.
std::string misfit(CIMTYPE type, const MofInitializer& value) {
  if (value.kind == Kind::Null) return {};
  if (isArray(type) != (value.kind == Kind::Array)) return kindText(value);
  if (value.kind != Kind::Array) return scalarFits(type, value.kind) ? std::string() : kindText(value);
  for (const MofInitializer& element : value.elements) {
    if (!scalarFits(scalarOf(type), element.kind)) return "an array holding " + kindText(element);
  }
  return {};
}

}  // namespace

const ClassDefinition* systemClass(std::string_view className) {
  for (const ClassDefinition& declared : systemClasses()) {
    if (qrv::text::equalsIgnoringAsciiCase(declared.name, className)) return &declared;
  }
  return nullptr;
}

void checkSystemInstance(const MofInstance& instance) {
  const ClassDefinition* declared = systemClass(instance.className);
  if (!declared) {
    throw MofError(instance.file, instance.line,
                   "instance of " + instance.className + ": the repository keeps instances of " + kWin32Provider +
                       " and " + kInstanceProviderRegistration + " only");
  }
  for (const MofPropertyValue& assigned : instance.properties) {
    const auto index = declared->indexOf(assigned.name);
    if (!index) throw MofError(instance.file, assigned.line, assigned.name + " is no property of " + declared->name);
    const PropertyDefinition& property = declared->properties[*index];
    const std::string wrong = misfit(property.type, assigned.value);
    if (!wrong.empty()) {
      throw MofError(instance.file, assigned.line,
                     "property " + property.name + " of " + declared->name + " is a " + typeText(property) + ", not " +
                         wrong);
    }
  }
}

}  // namespace wmihost
