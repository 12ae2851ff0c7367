#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qrv::cim {

// One instance of a request's result text: property names with their value
// texts, in byte order of the names, each name once. Of the values read for
// one name the first is kept.
//
// The properties lie in one sorted array, added a whole piece of result text
// at a time: an instance costs one allocation for its properties (and one
// for each name or value too long to sit inside its string).
class ParsedInstance {
 public:
  using Property = std::pair<std::string, std::string>;
  using const_iterator = std::vector<Property>::const_iterator;
  // A property read from a result text, not yet added; the texts it views
  // must outlive the call that adds it.
  using PropertyView = std::pair<std::string_view, std::string_view>;

  ParsedInstance() = default;
  ParsedInstance(std::initializer_list<Property> properties);

  bool empty() const { return properties_.empty(); }
  std::size_t size() const { return properties_.size(); }
  const_iterator begin() const { return properties_.begin(); }
  const_iterator end() const { return properties_.end(); }

  // The value of the property `name`; std::out_of_range when there is none.
  const std::string& at(std::string_view name) const;

  // Adds the properties in the order they were read: a name already held,
  // or read before in `read`, keeps its value. Reorders `read`.
  void add(std::vector<PropertyView>& read);

  bool operator==(const ParsedInstance& other) const { return properties_ == other.properties_; }
  bool operator!=(const ParsedInstance& other) const { return !(*this == other); }

 private:
  std::vector<Property> properties_;
};

}  // namespace qrv::cim
