#include "collector/ProcessorElement.h"

namespace collector {

namespace {

template <typename T>
std::optional<T> either(const std::optional<T>& first, const std::optional<T>& second) {
  return first ? first : second;
}

}  // namespace

XmlElement processorElement(std::size_t index, const PackageCounts* package, const SmbiosProcessor& socket,
                            const ProcessorDescription& description, std::uint64_t nativeWidthBits) {
  const ProcessorDescription present = package ? description : ProcessorDescription{};
  XmlElement processor("Processor");
  processor.set("id", "CPU" + std::to_string(index))
      .set("name", either(present.name, socket.version))
      .set("vendor", either(present.vendor, socket.vendor))
      .set("version", either(present.identifier, socket.version))
      .set("slot", socket.socket)
      .set("widthBits", socket.capable64.value_or(false) ? 64 : nativeWidthBits)
      .set("currentMHz", either(socket.currentMHz, present.mhz))
      .set("maxMHz", socket.maxMHz);
  if (!package) {
    processor.setFlag("enabled", false);
    return processor;
  }
  processor.set("cores", package->cores)
      .set("enabledCores", either(socket.enabledCores, std::optional<std::uint64_t>(package->cores)))
      .set("logicalProcessors", package->logicalProcessors)
      .setFlag("enabled", socket.enabled.value_or(true));
  return processor;
}

}  // namespace collector
