#include "collector/win32/DiskSource.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <vector>

#include "collector/TrimSpaces.h"
#include "collector/VolumeName.h"
#include "collector/win32/UniqueHandle.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

constexpr DWORD kMaxDrives = 128;            // \\.\PhysicalDrive0 to 127
constexpr DWORD kMaxPartitions = 1024;       // entries of a drive layout the collector reads
constexpr DWORD kMaxExtents = 64;            // disks one volume spans
constexpr DWORD kDescriptorSize = 4096;      // a storage device descriptor with its strings

// What the volumes say of one partition, found by disk number and offset.
struct VolumeFacts {
  std::string fileSystem;
  std::string label;
  std::string guid;
  std::string mountPoint;
};
using VolumeMap = std::map<std::pair<DWORD, LONGLONG>, VolumeFacts>;

// A line for the log: what could not be asked of whom, and why.
void noteFailure(Notes& notes, const std::string& subject, const char* query) {
  notes.push_back(subject + ": " + query + ": " + errorText(GetLastError()));
}

// Opened without read or write access: enough for the queries below, and
// allowed to any user.
UniqueHandle openDevice(const std::wstring& path) {
  return UniqueHandle(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
}

template <typename Out>
bool control(const UniqueHandle& device, DWORD code, const void* in, DWORD inSize, Out* out, DWORD outSize,
             DWORD* returned) {
  return DeviceIoControl(device.get(), code, const_cast<void*>(in), inSize, out, outSize, returned, nullptr) != 0;
}

// A NUL-terminated string at offset in the first size bytes; empty where the
// offset is 0 or outside them.
std::string descriptorString(const std::vector<BYTE>& buffer, DWORD size, DWORD offset) {
  if (offset == 0 || offset >= size) return {};
  const char* start = reinterpret_cast<const char*>(buffer.data()) + offset;
  return std::string(trimSpaces(std::string_view(start, strnlen(start, size - offset))));
}

std::optional<std::string> transport(STORAGE_BUS_TYPE bus) {
  static const char* const kNames[] = {"",     "scsi",    "ata",  "ata",  "ieee1394", "ssa",     "fc",
                                       "usb",  "raid",    "iscsi", "sas", "sata",     "sd",      "mmc",
                                       "virtual", "virtual", "spaces", "nvme", "scm", "ufs"};
  const auto index = static_cast<std::size_t>(bus);
  if (index >= sizeof kNames / sizeof kNames[0] || kNames[index][0] == '\0') return std::nullopt;
  return std::string(kNames[index]);
}

void describeDevice(const UniqueHandle& drive, XmlElement& disk, Notes& notes) {
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  std::vector<BYTE> buffer(kDescriptorSize);
  DWORD returned = 0;
  if (!control(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, buffer.data(), kDescriptorSize, &returned) ||
      returned < sizeof(STORAGE_DEVICE_DESCRIPTOR)) {
    noteFailure(notes, *disk.attribute("name"), "the storage device property");
    return;
  }
  STORAGE_DEVICE_DESCRIPTOR descriptor;
  std::memcpy(&descriptor, buffer.data(), sizeof descriptor);
  disk.set("model", descriptorString(buffer, returned, descriptor.ProductIdOffset))
      .set("vendor", descriptorString(buffer, returned, descriptor.VendorIdOffset))
      .set("revision", descriptorString(buffer, returned, descriptor.ProductRevisionOffset))
      .set("serial", descriptorString(buffer, returned, descriptor.SerialNumberOffset))
      .setFlag("removable", descriptor.RemovableMedia != FALSE)
      .set("transport", transport(descriptor.BusType));
}

void describeGeometry(const UniqueHandle& drive, XmlElement& disk, Notes& notes) {
  DISK_GEOMETRY_EX geometry{};
  DWORD returned = 0;
  if (control(drive, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry, sizeof geometry, &returned) &&
      returned >= offsetof(DISK_GEOMETRY_EX, Data)) {
    disk.set("size", static_cast<std::uint64_t>(geometry.DiskSize.QuadPart))
        .set("logicalSectorSize", std::optional<std::uint64_t>(geometry.Geometry.BytesPerSector));
  } else {
    noteFailure(notes, *disk.attribute("name"), "the drive geometry");
  }
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageAccessAlignmentProperty;
  query.QueryType = PropertyStandardQuery;
  STORAGE_ACCESS_ALIGNMENT_DESCRIPTOR alignment{};
  if (control(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &alignment, sizeof alignment, &returned) &&
      returned >= sizeof alignment) {
    disk.set("physicalSectorSize", std::optional<std::uint64_t>(alignment.BytesPerPhysicalSector));
  } else {
    noteFailure(notes, *disk.attribute("name"), "the access alignment property");
  }
}

// The drive's layout, the buffer grown while the driver asks for more.
std::vector<BYTE> driveLayout(const UniqueHandle& drive) {
  const DWORD header = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);
  for (DWORD entries = 16; entries <= kMaxPartitions; entries *= 2) {
    std::vector<BYTE> buffer(header + entries * sizeof(PARTITION_INFORMATION_EX));
    DWORD returned = 0;
    if (control(drive, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.data(), static_cast<DWORD>(buffer.size()),
                &returned)) {
      buffer.resize(returned);
      return buffer;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  return {};
}

bool isRealPartition(const PARTITION_INFORMATION_EX& entry) {
  if (entry.PartitionNumber == 0) return false;
  return entry.PartitionStyle != PARTITION_STYLE_MBR ||
         (entry.Mbr.PartitionType != PARTITION_ENTRY_UNUSED && !IsContainerPartition(entry.Mbr.PartitionType));
}

void addPartitions(const UniqueHandle& drive, DWORD number, const VolumeMap& volumes, XmlElement& disk,
                   Notes& notes) {
  const std::vector<BYTE> buffer = driveLayout(drive);
  const DWORD header = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);
  if (buffer.size() < header) {
    noteFailure(notes, *disk.attribute("name"), "the drive layout");
    return;
  }
  DRIVE_LAYOUT_INFORMATION_EX layout;
  std::memcpy(&layout, buffer.data(), header);
  const std::size_t fits = (buffer.size() - header) / sizeof(PARTITION_INFORMATION_EX);
  for (std::size_t i = 0; i < std::min<std::size_t>(layout.PartitionCount, fits); ++i) {
    PARTITION_INFORMATION_EX entry;
    std::memcpy(&entry, buffer.data() + header + i * sizeof entry, sizeof entry);
    if (!isRealPartition(entry)) continue;
    const std::string partitionNumber = std::to_string(entry.PartitionNumber);
    XmlElement partition("Partition");
    partition.set("name", "PhysicalDrive" + std::to_string(number) + "-Partition" + partitionNumber)
        .set("number", partitionNumber)
        .set("offset", std::to_string(entry.StartingOffset.QuadPart))
        .set("size", std::to_string(entry.PartitionLength.QuadPart));
    const auto volume = volumes.find({number, entry.StartingOffset.QuadPart});
    if (volume != volumes.end()) {
      partition.set("fileSystem", volume->second.fileSystem)
          .set("label", volume->second.label)
          .set("uuid", volume->second.guid)
          .set("mountPoint", volume->second.mountPoint);
    }
    disk.add(std::move(partition));
  }
}

class VolumeSearch {
 public:
  explicit VolumeSearch(wchar_t* first) : handle_(FindFirstVolumeW(first, MAX_PATH)) {}
  VolumeSearch(const VolumeSearch&) = delete;
  VolumeSearch& operator=(const VolumeSearch&) = delete;
  ~VolumeSearch() {
    if (found()) FindVolumeClose(handle_);
  }
  bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool next(wchar_t* name) { return FindNextVolumeW(handle_, name, MAX_PATH) != 0; }

 private:
  HANDLE handle_;
};

std::string firstMountPoint(const wchar_t* volume) {
  DWORD size = 0;
  GetVolumePathNamesForVolumeNameW(volume, nullptr, 0, &size);
  std::vector<wchar_t> paths(size + 1, L'\0');
  if (size == 0 || !GetVolumePathNamesForVolumeNameW(volume, paths.data(), size, &size)) return {};
  return utf8(paths.data(), paths.size());
}

void addVolume(const wchar_t* name, VolumeMap& volumes, Notes& notes) {
  const std::wstring volume(name);
  const auto guid = volumeGuid(utf8(volume));
  if (!guid) return;
  VolumeFacts facts;
  facts.guid = *guid;
  wchar_t label[MAX_PATH + 1] = L"";
  wchar_t fileSystem[MAX_PATH + 1] = L"";
  if (GetVolumeInformationW(name, label, MAX_PATH + 1, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1)) {
    facts.label = utf8(label, MAX_PATH + 1);
    facts.fileSystem = utf8(fileSystem, MAX_PATH + 1);
  }
  facts.mountPoint = firstMountPoint(name);
  const UniqueHandle device = openDevice(volume.substr(0, volume.size() - 1));
  const DWORD size = offsetof(VOLUME_DISK_EXTENTS, Extents) + kMaxExtents * sizeof(DISK_EXTENT);
  std::vector<BYTE> buffer(size);
  DWORD returned = 0;
  if (!device.valid() ||
      !control(device, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, buffer.data(), size, &returned) ||
      returned < offsetof(VOLUME_DISK_EXTENTS, Extents)) {
    noteFailure(notes, utf8(volume) + (facts.mountPoint.empty() ? "" : " (" + facts.mountPoint + ")"),
                "the disk extents");
    return;
  }
  VOLUME_DISK_EXTENTS extents;
  std::memcpy(&extents, buffer.data(), offsetof(VOLUME_DISK_EXTENTS, Extents));
  const std::size_t fits = (returned - offsetof(VOLUME_DISK_EXTENTS, Extents)) / sizeof(DISK_EXTENT);
  for (std::size_t i = 0; i < std::min<std::size_t>(extents.NumberOfDiskExtents, fits); ++i) {
    DISK_EXTENT extent;
    std::memcpy(&extent, buffer.data() + offsetof(VOLUME_DISK_EXTENTS, Extents) + i * sizeof extent, sizeof extent);
    volumes[{extent.DiskNumber, extent.StartingOffset.QuadPart}] = facts;
  }
}

VolumeMap volumesByExtent(Notes& notes) {
  VolumeMap volumes;
  wchar_t name[MAX_PATH] = L"";
  VolumeSearch search(name);
  if (!search.found()) {
    notes.push_back("FindFirstVolumeW: " + errorText(GetLastError()));
    return volumes;
  }
  do {
    addVolume(name, volumes, notes);
  } while (search.next(name));
  return volumes;
}

}  // namespace

XmlElement disksElement(Notes& notes) {
  const VolumeMap volumes = volumesByExtent(notes);
  XmlElement disks("Disks");
  disks.set("source", std::string("win32"));
  for (DWORD number = 0; number < kMaxDrives; ++number) {
    const UniqueHandle drive = openDevice(L"\\\\.\\PhysicalDrive" + std::to_wstring(number));
    if (!drive.valid()) continue;
    XmlElement disk("Disk");
    disk.set("name", "PhysicalDrive" + std::to_string(number));
    describeDevice(drive, disk, notes);
    describeGeometry(drive, disk, notes);
    addPartitions(drive, number, volumes, disk, notes);
    disks.add(std::move(disk));
  }
  if (disks.children().empty()) throw SourceFailure("no \\\\.\\PhysicalDriveN could be opened");
  return disks;
}

}  // namespace collector
