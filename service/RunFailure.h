#pragma once
// A failure of the collection run that carries the text of its error event.
// Raised anywhere between reading the configuration and publishing, and
// handled once at the end of the run.

#include <stdexcept>

namespace rulo {

class RunFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace rulo
