#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <typeinfo>

#include "provider/request/document/DataFiles.h"

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/document/DataFileLimits.h"
#include "provider/request/document/SharedFile.h"
#include "provider/request/document/UnicodeDataText.h"

namespace qrv::cim {

namespace {

// The file's size in bytes, or -1 when it cannot be determined; the read
// position is back at the start afterwards.
long sizeOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return size;
}

// The closing tag that the caller appends after the data.
constexpr std::size_t kRoomForEnd = 16;

// Appends at most `size` bytes to `text`, read in chunks. Room for all of
// them is made once the first chunk has come, so a large file is not copied
// again each time the text grows, while a bogus size (a directory reports
// one on some file systems) never turns into one huge allocation. False on
// a read error.
bool appendBytes(std::FILE* file, long size, std::string& text) {
  char chunk[65536];
  const auto limit = static_cast<std::size_t>(size);
  for (std::size_t read = 0; read < limit;) {
    const std::size_t wanted = std::min(sizeof chunk, limit - read);
    const std::size_t got = std::fread(chunk, 1, wanted, file);
    if (read == 0 && got == wanted) text.reserve(text.size() + limit + kRoomForEnd);
    text.append(chunk, got);
    read += got;
    if (got < wanted) break;
  }
  return std::ferror(file) == 0;
}

// Cuts the bytes that follow `start` at their first zero byte.
void endNarrowTextAtZero(std::string& text, std::size_t start) {
  const std::size_t zero = text.find('\0', start);
  if (zero != std::string::npos) text.resize(zero);
}

// Turns the UTF-16LE bytes that follow `start`, up to their first zero code
// unit, into UTF-8.
void convertUnicodeText(std::string& text, std::size_t start) {
  const std::string_view bytes = std::string_view(text).substr(start);
  std::size_t units = 0;
  while (units < bytes.size() / 2 && (bytes[2 * units] != '\0' || bytes[2 * units + 1] != '\0')) ++units;
  std::string converted = utf16LeToUtf8(bytes.substr(0, 2 * units));
  text.resize(start);
  text += converted;
}

// Drops the XML declaration that follows `start`, and whatever precedes it
// there, such as a byte-order mark.
void dropDeclaration(std::string& text, std::size_t start) {
  const std::size_t end = text.find("?>", start);
  if (end != std::string::npos) text.erase(start, end + 2 - start);
}

}  // namespace

RequestStatus appendDataFiles(const OperatorBase& op, std::string& document) {
  for (const auto& accessor : op.accessors()) {
    const Accessor& source = *accessor;
    if (typeid(source) != typeid(FileAccessor)) continue;
    const RequestStatus status = appendDataFile(static_cast<const FileAccessor&>(source), document);
    if (status != Ok) return status;
  }
  return Ok;
}

std::string dataFilePath(const FileAccessor& accessor) {
  return nativePath(xslRoot() + "/" + accessor.relativePath());
}

RequestStatus readDataFile(const FileAccessor& accessor, std::string& text) {
  text.clear();
  return appendDataFile(accessor, text);
}

RequestStatus appendDataFile(const FileAccessor& accessor, std::string& document) {
  const std::string path = dataFilePath(accessor);
  const SharedFile file = openSharedRead(path);
  if (!file) {
    const int error = errno;
    diagnose([&] { return "the data file " + path + " cannot be opened: " + std::generic_category().message(error); });
    return NotAccessible;
  }
  const long size = sizeOf(file.get());
  if (size <= 0) return Ok;
  const DataFileLimits limits = DataFileLimits::current();
  const bool tooLarge = static_cast<unsigned long>(size) > limits.maxBytes;
  const long mostRead = tooLarge ? static_cast<long>(limits.maxBytes) + 1 : size;
  const std::size_t start = document.size();
  if (!appendBytes(file.get(), mostRead, document)) {
    const int error = errno;
    document.resize(start);
    diagnose([&] { return "the data file " + path + " cannot be read: " + std::generic_category().message(error); });
    return NotAccessible;
  }
  if (document.size() - start > limits.maxBytes) {
    document.resize(start);
    diagnose([&] { return "the data file " + path + " is larger than " + std::to_string(limits.maxBytes) + " bytes"; });
    return TransformFailed;
  }
  if (accessor.unicode()) {
    convertUnicodeText(document, start);
  } else {
    endNarrowTextAtZero(document, start);
  }
  dropDeclaration(document, start);
  if (nestsDeeperThan(std::string_view(document).substr(start), limits.maxDepth)) {
    document.resize(start);
    diagnose([&] { return "the data file " + path + " nests deeper than " + std::to_string(limits.maxDepth) + " elements"; });
    return TransformFailed;
  }
  return Ok;
}

}  // namespace qrv::cim
