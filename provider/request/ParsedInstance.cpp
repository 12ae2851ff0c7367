#include "provider/request/ParsedInstance.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace qrv::cim {

namespace {

using PropertyView = ParsedInstance::PropertyView;

bool sameName(const PropertyView& a, const PropertyView& b) { return a.first == b.first; }
bool nameBefore(const PropertyView& a, const PropertyView& b) { return a.first < b.first; }

// Sorts by name, keeping properties of equal names in the order read. An
// instance has a handful of properties, for which insertion sort is the
// fastest; std::stable_sort takes the rare long ones.
void sortByName(std::vector<PropertyView>& read) {
  constexpr std::size_t kFew = 16;
  if (read.size() > kFew) {
    std::stable_sort(read.begin(), read.end(), nameBefore);
    return;
  }
  for (auto next = read.begin(); next != read.end(); ++next) {
    PropertyView property = *next;
    auto place = next;
    for (; place != read.begin() && nameBefore(property, *(place - 1)); --place) *place = *(place - 1);
    *place = property;
  }
}

}  // namespace

ParsedInstance::ParsedInstance(std::initializer_list<Property> properties) {
  std::vector<PropertyView> read(properties.begin(), properties.end());
  add(read);
}

const std::string& ParsedInstance::at(std::string_view name) const {
  const auto found = std::lower_bound(properties_.begin(), properties_.end(), name,
                                      [](const Property& property, std::string_view n) { return property.first < n; });
  if (found == properties_.end() || found->first != name) throw std::out_of_range("no property " + std::string(name));
  return found->second;
}

void ParsedInstance::add(std::vector<PropertyView>& read) {
  // In name order, the first read of each name alone.
  sortByName(read);
  read.erase(std::unique(read.begin(), read.end(), sameName), read.end());
  if (properties_.empty()) {
    properties_.reserve(read.size());
    for (const PropertyView& property : read) properties_.emplace_back(property.first, property.second);
    return;
  }
  std::vector<Property> merged;
  merged.reserve(properties_.size() + read.size());
  auto held = std::make_move_iterator(properties_.begin());
  const auto heldEnd = std::make_move_iterator(properties_.end());
  for (const PropertyView& property : read) {
    while (held != heldEnd && std::string_view(held->first) < property.first) merged.push_back(*held++);
    if (held == heldEnd || held->first != property.first) merged.emplace_back(property.first, property.second);
  }
  merged.insert(merged.end(), held, heldEnd);
  properties_ = std::move(merged);
}

}  // namespace qrv::cim
