#pragma once

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <string>

#include "provider/request/xslt/TransformLimits.h"

namespace qrv::cim {

// One transform's share of the TransformLimits: the time it may run from
// now, how deep its templates may nest, the memory it may hold and the
// output it may write. The transformer checks it between the steps of the
// stylesheet; a step in progress is not interrupted.
class TransformBudget {
 public:
  // Thrown by check() and end() to end the transform. Xalan-C's handlers let
  // it pass, but for document()'s, which swallows any exception: the next
  // check throws it again.
  class Exceeded : public std::exception {
   public:
    const char* what() const noexcept override { return "transform budget exceeded"; }
  };

  // `outputBytes` tells how much the transform has written so far.
  TransformBudget(const TransformLimits& limits, std::function<std::size_t()> outputBytes);

  // Throws Exceeded, and notes which bound, once the time is up or the
  // depth, the memory held or the output is beyond its bound; after that
  // on every call, should a step of the stylesheet have swallowed it.
  void check(std::size_t depth, std::size_t memoryBytes);

  // Ends the transform for `reason`, a sentence, as a passed bound does:
  // throws Exceeded now and at every later check.
  [[noreturn]] void end(const std::string& reason);

  const TransformLimits& limits() const { return limits_; }

  // Which bound, or what else, ended the transform, as a sentence; empty
  // while nothing has.
  const std::string& exceeded() const { return exceeded_; }

 private:
  // The sentence for the first bound passed, or empty.
  std::string firstPassed(std::size_t depth, std::size_t memoryBytes) const;

  TransformLimits limits_;
  std::chrono::steady_clock::time_point deadline_;
  std::function<std::size_t()> outputBytes_;
  std::string exceeded_;
};

}  // namespace qrv::cim
