#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "compat/com/BstrCopy.h"

namespace {

constexpr UINT kPrefixSize = sizeof(DWORD);
constexpr UINT kTerminatorSize = sizeof(OLECHAR);

DWORD* prefixOf(BSTR text) { return reinterpret_cast<DWORD*>(reinterpret_cast<char*>(text) - kPrefixSize); }

// A string of byteLength bytes behind its length prefix, followed by a NUL
// character; the bytes are copied from bytes when it is not null.
BSTR allocate(const void* bytes, UINT byteLength) {
  if (byteLength > UINT_MAX - kPrefixSize - kTerminatorSize) return nullptr;
  char* block = static_cast<char*>(std::malloc(kPrefixSize + byteLength + kTerminatorSize));
  if (!block) return nullptr;
  const DWORD prefix = byteLength;
  std::memcpy(block, &prefix, kPrefixSize);
  char* text = block + kPrefixSize;
  if (bytes) {
    std::memcpy(text, bytes, byteLength);
  } else {
    std::memset(text, 0, byteLength);
  }
  std::memset(text + byteLength, 0, kTerminatorSize);
  return reinterpret_cast<BSTR>(text);
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  const size_t length = std::char_traits<OLECHAR>::length(text);
  if (length > UINT_MAX / sizeof(OLECHAR)) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > UINT_MAX / sizeof(OLECHAR)) return nullptr;
  return allocate(text, length * static_cast<UINT>(sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) { return allocate(bytes, length); }

void SysFreeString(BSTR text) {
  if (text) std::free(prefixOf(text));
}

UINT SysStringByteLen(BSTR text) { return text ? *prefixOf(text) : 0; }

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

namespace compat {

bool copyBstr(BSTR text, BSTR* copy) {
  *copy = text ? SysAllocStringByteLen(reinterpret_cast<LPCSTR>(text), SysStringByteLen(text)) : nullptr;
  return !text || *copy;
}

}  // namespace compat
