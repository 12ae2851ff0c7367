#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <typeinfo>
#include <utility>
#include <vector>

#include "provider/registration/Diagnostic.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/DataFileLimits.h"
#include "provider/request/RequestBase.h"
#include "provider/request/SharedFile.h"
#include "provider/request/UnicodeDataText.h"

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

// Reads at most `size` bytes in chunks, so that a bogus size (a directory
// reports one on some file systems) never turns into one huge allocation.
// False on a read error.
bool readBytes(std::FILE* file, long size, std::string& bytes) {
  char chunk[65536];
  const auto limit = static_cast<std::size_t>(size);
  while (bytes.size() < limit) {
    const std::size_t wanted = std::min(sizeof chunk, limit - bytes.size());
    const std::size_t got = std::fread(chunk, 1, wanted, file);
    bytes.append(chunk, got);
    if (got < wanted) break;
  }
  return std::ferror(file) == 0;
}

// Narrow text up to its first zero byte.
std::string narrowText(std::string bytes) {
  const std::size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

// UTF-16LE text up to its first zero code unit, as UTF-8.
std::string unicodeText(std::string_view bytes) {
  std::size_t units = 0;
  while (units < bytes.size() / 2 && (bytes[2 * units] != '\0' || bytes[2 * units + 1] != '\0')) ++units;
  return utf16LeToUtf8(bytes.substr(0, 2 * units));
}

// The closing tag that the caller appends after the data.
constexpr std::size_t kRoomForEnd = 16;

// Drops the XML declaration and whatever precedes it, such as a byte-order mark.
void dropDeclaration(std::string& text) {
  const std::size_t end = text.find("?>");
  if (end != std::string::npos) text.erase(0, end + 2);
}

}  // namespace

RequestStatus RequestBase::appendData(const OperatorBase& op, std::string& document) {
  std::vector<std::string> texts;
  for (const auto& accessor : op.accessors()) {
    const Accessor& source = *accessor;
    if (typeid(source) != typeid(FileAccessor)) continue;
    std::string text;
    const RequestStatus status = readDataFile(static_cast<const FileAccessor&>(source), text);
    if (status != Ok) return status;
    texts.push_back(std::move(text));
  }
  // A document of a large data file is copied once, not again each time it grows.
  std::size_t size = document.size() + kRoomForEnd;
  for (const std::string& text : texts) size += text.size();
  document.reserve(size);
  for (const std::string& text : texts) document += text;
  return Ok;
}

std::string RequestBase::dataFilePath(const FileAccessor& accessor) {
  return nativePath(xslRoot() + "/" + accessor.relativePath());
}

RequestStatus RequestBase::readDataFile(const FileAccessor& accessor, std::string& text) {
  const std::string path = dataFilePath(accessor);
  const SharedFile file = openSharedRead(path);
  if (!file) {
    const int error = errno;
    diagnose([&] { return "the data file " + path + " cannot be opened: " + std::generic_category().message(error); });
    return NotAccessible;
  }
  text.clear();
  const long size = sizeOf(file.get());
  if (size <= 0) return Ok;
  const DataFileLimits limits = DataFileLimits::current();
  std::string bytes;
  const bool tooLarge = static_cast<unsigned long>(size) > limits.maxBytes;
  const long mostRead = tooLarge ? static_cast<long>(limits.maxBytes) + 1 : size;
  if (!readBytes(file.get(), mostRead, bytes)) {
    const int error = errno;
    diagnose([&] { return "the data file " + path + " cannot be read: " + std::generic_category().message(error); });
    return NotAccessible;
  }
  if (bytes.size() > limits.maxBytes) {
    diagnose([&] { return "the data file " + path + " is larger than " + std::to_string(limits.maxBytes) + " bytes"; });
    return TransformFailed;
  }
  text = accessor.unicode() ? unicodeText(bytes) : narrowText(std::move(bytes));
  dropDeclaration(text);
  if (nestsDeeperThan(text, limits.maxDepth)) {
    diagnose([&] { return "the data file " + path + " nests deeper than " + std::to_string(limits.maxDepth) + " elements"; });
    text.clear();
    return TransformFailed;
  }
  return Ok;
}

}  // namespace qrv::cim
