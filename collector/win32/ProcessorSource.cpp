#include "collector/win32/ProcessorSource.h"

#include <windows.h>

#include <cstddef>
#include <vector>

#include "collector/ProcessorElement.h"
#include "collector/SmbiosDecoding.h"
#include "collector/win32/ComputerSource.h"
#include "collector/win32/RegistryKey.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

// One processor package as Windows counts it.
struct Package {
  std::vector<GROUP_AFFINITY> groups;
  PackageCounts counts;
};

std::vector<BYTE> logicalProcessorInformation(LOGICAL_PROCESSOR_RELATIONSHIP relationship) {
  DWORD size = 0;
  GetLogicalProcessorInformationEx(relationship, nullptr, &size);
  std::vector<BYTE> buffer(size);
  auto* records = reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(buffer.data());
  if (size == 0 || !GetLogicalProcessorInformationEx(relationship, records, &size)) {
    throw SourceFailure("GetLogicalProcessorInformationEx: " + errorText(GetLastError()));
  }
  buffer.resize(size);
  return buffer;
}

// Calls each record of the relationship's list with its processor relationship.
template <typename Visit>
void forEachRecord(LOGICAL_PROCESSOR_RELATIONSHIP relationship, Visit visit) {
  const std::vector<BYTE> buffer = logicalProcessorInformation(relationship);
  // Each record is as long as its Size says, shorter than the structure's
  // largest member; a processor record holds its group masks within it.
  constexpr std::size_t kProcessorRecord = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Processor.GroupMask);
  for (std::size_t at = 0; at + kProcessorRecord <= buffer.size();) {
    const auto* record = reinterpret_cast<const SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(buffer.data() + at);
    if (record->Size < kProcessorRecord || record->Size > buffer.size() - at) break;
    const std::size_t groups = (record->Size - kProcessorRecord) / sizeof(GROUP_AFFINITY);
    if (record->Relationship == relationship && record->Processor.GroupCount <= groups) visit(record->Processor);
    at += record->Size;
  }
}

bool overlaps(const PROCESSOR_RELATIONSHIP& core, const Package& package) {
  for (const GROUP_AFFINITY& group : package.groups) {
    for (WORD i = 0; i < core.GroupCount; ++i) {
      if (core.GroupMask[i].Group == group.Group && (core.GroupMask[i].Mask & group.Mask) != 0) return true;
    }
  }
  return false;
}

std::vector<Package> packages() {
  std::vector<Package> found;
  forEachRecord(RelationProcessorPackage, [&](const PROCESSOR_RELATIONSHIP& relation) {
    Package package;
    for (WORD i = 0; i < relation.GroupCount; ++i) {
      package.groups.push_back(relation.GroupMask[i]);
      package.counts.logicalProcessors += static_cast<std::uint64_t>(__builtin_popcountll(relation.GroupMask[i].Mask));
    }
    found.push_back(package);
  });
  forEachRecord(RelationProcessorCore, [&](const PROCESSOR_RELATIONSHIP& core) {
    for (Package& package : found) {
      if (overlaps(core, package)) ++package.counts.cores;
    }
  });
  return found;
}

ProcessorDescription registryDescription() {
  ProcessorDescription description;
  const auto key = RegistryKey::open(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0);
  if (!key) return description;
  description.name = key->text(L"ProcessorNameString");
  description.vendor = key->text(L"VendorIdentifier");
  description.identifier = key->text(L"Identifier");
  if (const auto mhz = key->number(L"~MHz"); mhz && *mhz != 0) description.mhz = *mhz;
  return description;
}

}  // namespace

XmlElement processorsElement(const FirmwareSmbios& smbios, Notes& notes) {
  const std::vector<Package> found = packages();
  std::vector<SmbiosProcessor> sockets;
  if (smbios.table) {
    sockets = smbiosProcessors(*smbios.table);
  } else {
    notes.push_back("no sockets or clocks: " + smbios.failure);
  }
  if (found.empty() && sockets.empty()) throw SourceFailure("neither Windows nor the firmware lists a processor");
  const ProcessorDescription description = registryDescription();
  const std::uint64_t width = nativeWidthBits();
  XmlElement processors("Processors");
  processors.set("source", std::string("win32"));
  // Populated sockets take the packages in order; empty ones stay disabled,
  // and packages beyond the table's sockets stand alone.
  std::size_t next = 0;
  for (const SmbiosProcessor& socket : sockets) {
    const PackageCounts* package = socket.populated && next < found.size() ? &found[next++].counts : nullptr;
    processors.add(processorElement(processors.children().size(), package, socket, description, width));
  }
  for (; next < found.size(); ++next) {
    processors.add(
        processorElement(processors.children().size(), &found[next].counts, SmbiosProcessor{}, description, width));
  }
  return processors;
}

}  // namespace collector
