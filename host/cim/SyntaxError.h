#pragma once
// Text that a client passed and that cannot be read, with where and why:
// "at position 12: expected FROM". Positions count characters from 1; one
// past the end stands for the end of the text.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace wmihost {

class SyntaxError : public std::runtime_error {
 public:
  SyntaxError(std::size_t position, const std::string& reason)
      : std::runtime_error("at position " + std::to_string(position) + ": " + reason),
        position_(position),
        reason_(reason) {}

  std::size_t position() const { return position_; }
  const std::string& reason() const { return reason_; }

 private:
  std::size_t position_;
  std::string reason_;
};

}  // namespace wmihost
