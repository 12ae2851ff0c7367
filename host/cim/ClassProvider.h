#pragma once
// How WMI finds the provider of a class in its repository: the class's
// provider qualifier names a __Win32Provider instance of the class's
// namespace, whose CLSID is the COM class that WMI creates; an
// __InstanceProviderRegistration that refers to that instance says which
// requests WMI hands it. Where the module of that COM class lies is COM's
// registration, outside the repository.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"
#include "host/cim/ClassRepository.h"

namespace wmihost {

// The request a provider is asked to take.
enum class ProviderRequest { Enumerate, Get };

// The property of an __InstanceProviderRegistration that offers the
// request: "SupportsEnumeration", "SupportsGet".
const char* supportFlag(ProviderRequest request);
// The request in words: "enumerations", "gets".
const char* requestsText(ProviderRequest request);

// A link of the way from a class to its provider that is missing, with the
// code WMI answers for it.
class ProviderLinkError : public std::runtime_error {
 public:
  ProviderLinkError(HRESULT code, const std::string& message) : std::runtime_error(message), code_(code) {}
  HRESULT code() const { return code_; }

 private:
  HRESULT code_;
};

struct ClassProvider {
  // As the class's provider qualifier names it.
  std::string name;
  // The CLSID in registry form: braces, upper-case digits.
  std::string clsid;
};

// The __Win32Provider instance of the namespace with that Name (ignoring
// case); null when there is none.
std::shared_ptr<const MofInstance> findWin32Provider(const ClassRepository& repository, std::string_view nameSpace,
                                                     std::string_view providerName);

// The CLSID that the __Win32Provider instance gives, in registry form; none
// when it gives none or text that is no GUID.
std::optional<std::string> clsidOf(const MofInstance& provider);

// The __InstanceProviderRegistration instance of the namespace whose
// Provider refers to the __Win32Provider instance by its alias; null when
// there is none.
std::shared_ptr<const MofInstance> findInstanceRegistration(const ClassRepository& repository,
                                                            std::string_view nameSpace, const MofInstance& provider);

// Whether the registration lets WMI hand the provider the request: its
// SupportsEnumeration, TRUE when not given, or its SupportsGet, FALSE when
// not given. A query is an enumeration to WMI, which filters the instances
// itself as the registration offers no query support.
bool supports(const MofInstance& registration, ProviderRequest request);

// The provider of the class for the request. Throws ProviderLinkError with
// WBEM_E_PROVIDER_NOT_FOUND when the class names no provider or no
// __Win32Provider has its name, WBEM_E_INVALID_PROVIDER_REGISTRATION when
// that gives no CLSID, WBEM_E_PROVIDER_NOT_CAPABLE when no
// __InstanceProviderRegistration refers to it or the one that does refuses
// the request.
ClassProvider findClassProvider(const ClassRepository& repository, const ClassDefinition& definition,
                                ProviderRequest request);

}  // namespace wmihost
