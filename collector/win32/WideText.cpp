#include "collector/win32/WideText.h"

#include "common/text/Utf16Le.h"

namespace collector {

std::string utf8(std::wstring_view text) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is a UTF-16 unit");
  return qrv::text::utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::string utf8(const wchar_t* text, std::size_t size) {
  std::size_t length = 0;
  while (length < size && text[length] != L'\0') ++length;
  return utf8(std::wstring_view(text, length));
}

std::wstring wide(std::string_view utf8Text) {
  const std::u16string units = qrv::text::utf16FromUtf8(utf8Text);
  return std::wstring(units.begin(), units.end());
}

std::string errorText(DWORD error) {
  wchar_t buffer[512];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      buffer, sizeof buffer / sizeof buffer[0], nullptr);
  std::string text = utf8(std::wstring_view(buffer, length));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return "error " + std::to_string(error) + (text.empty() ? "" : ": " + text);
}

}  // namespace collector
