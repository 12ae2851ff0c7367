// Code-page conversions: valid UTF-8 goes to UTF-16 and back unchanged, and
// so does valid UTF-16 the other way, through the platform's converters and
// through common/text alike; anything else converts without a fault.

#include <cstdint>
#include <string>

#include "common/com/TextConversion.h"
#include "common/text/Utf16Le.h"
#include "fuzz/FuzzCheck.h"

using qrv::com::WideText;

namespace {

void checkNarrow(const std::string& text) {
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
  const std::string utf16 = qrv::text::encodeUtf16Le(text);
  const std::string back = qrv::text::decodeUtf16Le(utf16);
  if (units == 0 && !text.empty()) {
    QRV_FUZZ_CHECK(back != text);  // ill-formed text is replaced
    return;
  }
  QRV_FUZZ_CHECK(back == text);
  QRV_FUZZ_CHECK(utf16.size() == 2 * static_cast<std::size_t>(units));
  const std::string upToZero = text.substr(0, text.find('\0'));
  QRV_FUZZ_CHECK(qrv::com::toUtf8(qrv::com::toWide(text)) == upToZero);
}

void checkWide(const std::string& bytes) {
  const std::u16string units = qrv::text::utf16LeUnits(bytes);
  const WideText wide(units.begin(), units.end());
  const int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  const std::string narrow = qrv::com::toUtf8(qrv::com::WideTextView(wide));
  QRV_FUZZ_CHECK(narrow == qrv::text::decodeUtf16Le(bytes));
  if (needed == 0 && !wide.empty()) return;  // an unpaired surrogate
  QRV_FUZZ_CHECK(narrow.size() == static_cast<std::size_t>(needed));
  QRV_FUZZ_CHECK(qrv::text::encodeUtf16Le(narrow) == bytes.substr(0, 2 * units.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  checkNarrow(input);
  checkWide(input);
  return 0;
}
