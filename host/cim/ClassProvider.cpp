#include "host/cim/ClassProvider.h"

#include "common/com/GuidText.h"
#include "common/text/AsciiCase.h"
#include "host/cim/SystemClasses.h"

namespace wmihost {

namespace {

using Kind = MofInitializer::Kind;

// The text a property is given; none when it is not given text.
std::optional<std::string> textOf(const MofInstance& instance, std::string_view property) {
  const MofInitializer* value = instance.value(property);
  if (!value || value->kind != Kind::Text) return std::nullopt;
  return value->text;
}

bool flagOf(const MofInstance& instance, std::string_view property, bool otherwise) {
  const MofInitializer* value = instance.value(property);
  return value && value->kind == Kind::Boolean ? value->boolean : otherwise;
}

[[noreturn]] void missing(long code, const std::string& message) {
  throw ProviderLinkError(static_cast<HRESULT>(code), message);
}

}  // namespace

const char* supportFlag(ProviderRequest request) {
  return request == ProviderRequest::Enumerate ? "SupportsEnumeration" : "SupportsGet";
}

const char* requestsText(ProviderRequest request) {
  return request == ProviderRequest::Enumerate ? "enumerations" : "gets";
}

std::shared_ptr<const MofInstance> findWin32Provider(const ClassRepository& repository, std::string_view nameSpace,
                                                     std::string_view providerName) {
  for (const auto& provider : repository.instances(nameSpace, kWin32Provider)) {
    const auto name = textOf(*provider, "Name");
    if (name && qrv::text::equalsIgnoringAsciiCase(*name, providerName)) return provider;
  }
  return nullptr;
}

std::optional<std::string> clsidOf(const MofInstance& provider) {
  const auto text = textOf(provider, "CLSID");
  const auto clsid = text ? qrv::com::guidFromText(*text) : std::nullopt;
  if (!clsid) return std::nullopt;
  return qrv::com::guidText(*clsid);
}

std::shared_ptr<const MofInstance> findInstanceRegistration(const ClassRepository& repository,
                                                            std::string_view nameSpace, const MofInstance& provider) {
  for (const auto& registration : repository.instances(nameSpace, kInstanceProviderRegistration)) {
    const MofInitializer* reference = registration->value("Provider");
    if (reference && reference->instance == &provider) return registration;
  }
  return nullptr;
}

bool supports(const MofInstance& registration, ProviderRequest request) {
  return flagOf(registration, supportFlag(request), request == ProviderRequest::Enumerate);
}

ClassProvider findClassProvider(const ClassRepository& repository, const ClassDefinition& definition,
                                ProviderRequest request) {
  if (definition.provider.empty()) {
    missing(WBEM_E_PROVIDER_NOT_FOUND, definition.name + " names no provider: it has no provider qualifier");
  }
  const auto provider = findWin32Provider(repository, definition.nameSpace, definition.provider);
  const std::string named = "the provider " + definition.provider;
  if (!provider) {
    missing(WBEM_E_PROVIDER_NOT_FOUND, named + " of " + definition.name + " is not registered: " +
                                           definition.nameSpace + " holds no " + kWin32Provider + " named " +
                                           definition.provider);
  }
  const auto clsid = clsidOf(*provider);
  if (!clsid) {
    missing(WBEM_E_INVALID_PROVIDER_REGISTRATION,
            named + " (" + provider->place() + ") gives no CLSID in the form {8-4-4-4-12 hexadecimal digits}");
  }
  const auto registration = findInstanceRegistration(repository, definition.nameSpace, *provider);
  if (!registration) {
    missing(WBEM_E_PROVIDER_NOT_CAPABLE, named + " (" + provider->place() + ") is no instance provider: no " +
                                             kInstanceProviderRegistration + " of " + definition.nameSpace +
                                             " refers to it");
  }
  if (!supports(*registration, request)) {
    missing(WBEM_E_PROVIDER_NOT_CAPABLE, "the " + std::string(kInstanceProviderRegistration) + " of " +
                                             definition.provider + " (" + registration->place() + ") refuses " +
                                             requestsText(request) + ": its " + supportFlag(request) + " is not TRUE");
  }
  return {definition.provider, *clsid};
}

}  // namespace wmihost
