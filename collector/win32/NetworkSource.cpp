#include "collector/win32/NetworkSource.h"

// winsock2.h before windows.h, which would bring the older winsock.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdio>
#include <vector>

#include "collector/win32/RegistryKey.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
constexpr int kTries = 4;  // the list may grow between the call that sizes it and the one that fills it
constexpr ULONG64 kUnknownSpeed = ~ULONG64{0};

std::vector<BYTE> adapterList() {
  ULONG size = 16 * 1024;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    std::vector<BYTE> buffer(size);
    const ULONG status =
        GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    if (status == ERROR_SUCCESS) return buffer;
    if (status == ERROR_NO_DATA) return {};
    if (status != ERROR_BUFFER_OVERFLOW) throw SourceFailure("GetAdaptersAddresses: " + errorText(status));
  }
  throw SourceFailure("GetAdaptersAddresses: the list kept growing");
}

std::optional<std::string> macAddress(const IP_ADAPTER_ADDRESSES& adapter) {
  if (adapter.PhysicalAddressLength == 0) return std::nullopt;
  std::string mac;
  char hex[4];
  for (ULONG i = 0; i < adapter.PhysicalAddressLength && i < MAX_ADAPTER_ADDRESS_LENGTH; ++i) {
    std::snprintf(hex, sizeof hex, i ? ":%02x" : "%02x", static_cast<unsigned>(adapter.PhysicalAddress[i]));
    mac += hex;
  }
  return mac;
}

std::optional<XmlElement> addressElement(const SOCKET_ADDRESS& address) {
  const sockaddr* socketAddress = address.lpSockaddr;
  if (socketAddress == nullptr) return std::nullopt;
  char text[INET6_ADDRSTRLEN] = "";
  const void* raw = nullptr;
  const char* family = nullptr;
  if (socketAddress->sa_family == AF_INET) {
    raw = &reinterpret_cast<const sockaddr_in*>(socketAddress)->sin_addr;
    family = "ipv4";
  } else if (socketAddress->sa_family == AF_INET6) {
    raw = &reinterpret_cast<const sockaddr_in6*>(socketAddress)->sin6_addr;
    family = "ipv6";
  }
  if (raw == nullptr || inet_ntop(socketAddress->sa_family, raw, text, sizeof text) == nullptr) return std::nullopt;
  XmlElement element("Address");
  element.set("family", std::string(family)).set("value", std::string(text));
  return element;
}

std::optional<RegistryKey> machineKey(const std::wstring& path) {
  return RegistryKey::open(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\" + path, 0);
}

// What the registry says of the adapter's device: its Plug and Play
// instance (the network connection's PnPInstanceId, e.g. PCI\VEN_8086&...)
// as its bus address, the driver's service from the device's Enum key, and
// the driver's version and description from its class key.
void addDriver(const std::string& adapterName, XmlElement& element) {
  const auto connection =
      machineKey(L"Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" + wide(adapterName) + L"\\Connection");
  const auto instance = connection ? connection->text(L"PnPInstanceId") : std::nullopt;
  const auto device = instance ? machineKey(L"Enum\\" + wide(*instance)) : std::nullopt;
  if (!device) return;
  element.set("busInfo", instance).set("driver", device->text(L"Service"));
  const auto driverKey = device->text(L"Driver");
  const auto driver = driverKey ? machineKey(L"Control\\Class\\" + wide(*driverKey)) : std::nullopt;
  if (driver) element.set("product", driver->text(L"DriverDesc")).set("driverVersion", driver->text(L"DriverVersion"));
}

XmlElement adapterElement(const IP_ADAPTER_ADDRESSES& adapter) {
  XmlElement element("NetworkAdapter");
  element.set("id", std::string(adapter.AdapterName ? adapter.AdapterName : ""))
      .set("name", adapter.FriendlyName ? utf8(adapter.FriendlyName) : std::string())
      .set("description", adapter.Description ? utf8(adapter.Description) : std::string())
      .set("mac", macAddress(adapter))
      .setFlag("linkUp", adapter.OperStatus == IfOperStatusUp)
      .set("speedBps", adapter.TransmitLinkSpeed != kUnknownSpeed && adapter.TransmitLinkSpeed != 0
                           ? std::optional<std::uint64_t>(adapter.TransmitLinkSpeed)
                           : std::nullopt);
  if (adapter.AdapterName) addDriver(adapter.AdapterName, element);
  for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast; unicast = unicast->Next) {
    if (auto address = addressElement(unicast->Address)) element.add(std::move(*address));
  }
  return element;
}

}  // namespace

XmlElement networkAdaptersElement() {
  const std::vector<BYTE> buffer = adapterList();
  XmlElement adapters("NetworkAdapters");
  adapters.set("source", std::string("win32"));
  if (buffer.empty()) return adapters;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next) {
    if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || adapter->IfType == IF_TYPE_TUNNEL) continue;
    adapters.add(adapterElement(*adapter));
  }
  return adapters;
}

}  // namespace collector
