#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory_resource>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qrv::cim {

// One instance of a request's result text: property names with their value
// texts, in byte order of the names, each name once. Of the values read for
// one name the first is kept.
//
// An instance is read once and then walked, so it lies in one block: the
// sizes of every name and value, then their bytes one after the other.
// That is one allocation per instance, and a fraction of the memory that
// separate strings would take for the short names and values of an
// inventory. The block is laid out the same way for the same properties,
// so equal instances have equal blocks.
//
// Blocks come from a pool of this process that keeps the memory of freed
// blocks for the next ones (a copy's block comes from the heap). The
// instances of a large enumeration are all freed together when they have
// been delivered; the heap would give that memory back to the system, and
// the next enumeration would pay a page fault for every page of it again.
// The pool keeps about as much as the instances alive at one time have
// needed.
class ParsedInstance {
 public:
  // A property's name and value, viewing the instance (or, for the
  // properties handed to the instance, the text they were read from).
  using Property = std::pair<std::string_view, std::string_view>;

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Property;
    using difference_type = std::ptrdiff_t;
    using pointer = const Property*;
    using reference = Property;

    const_iterator() = default;
    const_iterator(const char* size, const char* text) : size_(size), text_(text) {}

    Property operator*() const;
    const_iterator& operator++();
    const_iterator operator++(int) {
      const const_iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const const_iterator& other) const { return size_ == other.size_; }
    bool operator!=(const const_iterator& other) const { return size_ != other.size_; }

   private:
    const char* size_ = nullptr;  // the sizes of the property's name and value
    const char* text_ = nullptr;  // its name, followed by its value
  };
  using iterator = const_iterator;
  using value_type = Property;

  ParsedInstance() = default;
  ParsedInstance(std::initializer_list<Property> properties);

  bool empty() const { return block_.empty(); }
  std::size_t size() const;
  const_iterator begin() const;
  const_iterator end() const;

  // The value of the property `name`; std::out_of_range when there is none.
  std::string_view at(std::string_view name) const;

  // Adds the properties in the order they were read: a name already held,
  // or read before in `read`, keeps its value. Reorders `read`.
  void add(std::vector<Property>& read);

  bool operator==(const ParsedInstance& other) const { return block_ == other.block_; }
  bool operator!=(const ParsedInstance& other) const { return block_ != other.block_; }

 private:
  static std::pmr::memory_resource* blockMemory();

  // The count of properties, their name and value sizes, then their texts.
  std::pmr::string block_{blockMemory()};
};

}  // namespace qrv::cim
