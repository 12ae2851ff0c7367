// The firmware's SMBIOS table: any bytes parse, within their bounds (every
// structure's formatted area and strings come from the bytes given, once),
// and what the inventory takes from the structures is written as XML that
// holds no markup of the table's own.

#include <cstdint>
#include <string>
#include <string_view>

#include "collector/SmbiosDecoding.h"
#include "collector/SmbiosTable.h"
#include "fuzz/FuzzCheck.h"

namespace {

// Every attribute value of the XML is escaped: no '<', each '&' starts one
// of the references the writer uses, and none is empty (an unknown value is
// left out).
bool valuesEscaped(const std::string& xml) {
  static const std::string_view kReferences[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&#9;", "&#10;", "&#13;"};
  for (std::size_t at = xml.find("=\""); at != std::string::npos; at = xml.find("=\"", at)) {
    const std::size_t end = xml.find('"', at + 2);
    if (end == std::string::npos || end == at + 2) return false;
    const std::string_view value = std::string_view(xml).substr(at + 2, end - at - 2);
    if (value.find('<') != std::string_view::npos) return false;
    for (std::size_t amp = value.find('&'); amp != std::string_view::npos; amp = value.find('&', amp + 1)) {
      bool known = false;
      for (const std::string_view reference : kReferences) {
        known = known || value.substr(amp, reference.size()) == reference;
      }
      if (!known) return false;
    }
    at = end + 1;
  }
  return true;
}

void checkTable(const collector::SmbiosTable& table, std::size_t size) {
  std::size_t taken = 0;
  for (const collector::SmbiosStructure& structure : table.structures()) {
    for (std::size_t offset = 0; offset < 300; ++offset) {
      const auto field = structure.byte(offset);
      if (!field) break;
      taken += 1;
      structure.string(offset);
      structure.word(offset);
      structure.qword(offset);
    }
  }
  QRV_FUZZ_CHECK(taken <= size);
  std::string xml;
  collector::computerElement(table).write(xml);
  for (const collector::XmlElement& array : collector::memoryArrayElements(table)) array.write(xml);
  QRV_FUZZ_CHECK(valuesEscaped(xml));
  collector::smbiosProcessors(table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkTable(collector::SmbiosTable::fromStructures(bytes), size);
  checkTable(collector::SmbiosTable::fromRawSmbiosData(bytes), size);
  return 0;
}
