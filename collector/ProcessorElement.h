#pragma once
// One Processor element of the Windows collector: a socket of the
// firmware's table with the package Windows counts in it, named by the
// registry's description of the first processor.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "collector/SmbiosDecoding.h"
#include "collector/XmlElement.h"

namespace collector {

// What Windows counts in one processor package.
struct PackageCounts {
  std::uint64_t cores = 0;
  std::uint64_t logicalProcessors = 0;
};

// What the registry says of the first logical processor
// (HARDWARE\DESCRIPTION\System\CentralProcessor\0).
struct ProcessorDescription {
  std::optional<std::string> name;        // ProcessorNameString
  std::optional<std::string> vendor;      // VendorIdentifier
  std::optional<std::string> identifier;  // Identifier
  std::optional<std::uint64_t> mhz;       // ~MHz
};

// The Processor with id CPU<index>. package is the package Windows places in
// the socket, nullptr for an empty socket: that one is disabled, without
// counts, and takes nothing from the registry, which describes a processor
// that is there. socket is SmbiosProcessor{} for a package the table lacks.
XmlElement processorElement(std::size_t index, const PackageCounts* package, const SmbiosProcessor& socket,
                            const ProcessorDescription& description, std::uint64_t nativeWidthBits);

}  // namespace collector
