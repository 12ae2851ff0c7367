#include "provider/request/model/ParsedInstance.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace qrv::cim {

namespace {

using Property = ParsedInstance::Property;

constexpr std::size_t kWord = sizeof(std::size_t);

std::size_t readWord(const char* at) {
  std::size_t word;
  std::memcpy(&word, at, kWord);
  return word;
}

char* writeWord(char* at, std::size_t word) {
  std::memcpy(at, &word, kWord);
  return at + kWord;
}

char* writeText(char* at, std::string_view text) {
  if (text.empty()) return at;  // an empty view may have no data at all
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

bool sameName(const Property& a, const Property& b) { return a.first == b.first; }
bool nameBefore(const Property& a, const Property& b) { return a.first < b.first; }

// Sorts by name, keeping properties of equal names in the order read. An
// instance has a handful of properties, for which insertion sort is the
// fastest; std::stable_sort takes the rare long ones.
void sortByName(std::vector<Property>& read) {
  constexpr std::size_t kFew = 16;
  if (read.size() > kFew) {
    std::stable_sort(read.begin(), read.end(), nameBefore);
    return;
  }
  for (auto next = read.begin(); next != read.end(); ++next) {
    const Property property = *next;
    auto place = next;
    for (; place != read.begin() && nameBefore(property, *(place - 1)); --place) *place = *(place - 1);
    *place = property;
  }
}

// Lays out `properties`, which are sorted by name, each name once, as the
// new content of `block`; they may view its old content.
void layOut(const std::vector<Property>& properties, std::pmr::string& block) {
  std::size_t textBytes = 0;
  for (const Property& property : properties) textBytes += property.first.size() + property.second.size();
  std::pmr::string laidOut(kWord * (1 + 2 * properties.size()) + textBytes, '\0', block.get_allocator());
  char* size = writeWord(laidOut.data(), properties.size());
  char* text = size + 2 * kWord * properties.size();
  for (const Property& property : properties) {
    size = writeWord(writeWord(size, property.first.size()), property.second.size());
    text = writeText(writeText(text, property.first), property.second);
  }
  block = std::move(laidOut);
}

}  // namespace

std::pmr::memory_resource* ParsedInstance::blockMemory() {
  // Blocks of up to 4 KiB, which is nearly every instance; larger ones come
  // from the heap and go back to it.
  static std::pmr::synchronized_pool_resource pool(std::pmr::pool_options{0, 4096});
  return &pool;
}

Property ParsedInstance::const_iterator::operator*() const {
  const std::size_t nameSize = readWord(size_);
  return {std::string_view(text_, nameSize), std::string_view(text_ + nameSize, readWord(size_ + kWord))};
}

ParsedInstance::const_iterator& ParsedInstance::const_iterator::operator++() {
  text_ += readWord(size_) + readWord(size_ + kWord);
  size_ += 2 * kWord;
  return *this;
}

ParsedInstance::ParsedInstance(std::initializer_list<Property> properties) {
  std::vector<Property> read(properties);
  add(read);
}

std::size_t ParsedInstance::size() const { return empty() ? 0 : readWord(block_.data()); }

ParsedInstance::const_iterator ParsedInstance::begin() const {
  if (empty()) return {};
  const char* const sizes = block_.data() + kWord;
  return {sizes, sizes + 2 * kWord * size()};
}

ParsedInstance::const_iterator ParsedInstance::end() const {
  if (empty()) return {};
  return {block_.data() + kWord * (1 + 2 * size()), block_.data() + block_.size()};
}

std::string_view ParsedInstance::at(std::string_view name) const {
  for (const Property property : *this) {
    if (property.first == name) return property.second;
  }
  throw std::out_of_range("no property " + std::string(name));
}

void ParsedInstance::add(std::vector<Property>& read) {
  // In name order, the first read of each name alone.
  sortByName(read);
  read.erase(std::unique(read.begin(), read.end(), sameName), read.end());
  if (read.empty()) return;
  if (empty()) {
    layOut(read, block_);
    return;
  }
  std::vector<Property> merged;
  merged.reserve(size() + read.size());
  auto held = begin();
  for (const Property& property : read) {
    for (; held != end() && (*held).first < property.first; ++held) merged.push_back(*held);
    if (held == end() || (*held).first != property.first) merged.push_back(property);
  }
  for (; held != end(); ++held) merged.push_back(*held);
  layOut(merged, block_);
}

}  // namespace qrv::cim
