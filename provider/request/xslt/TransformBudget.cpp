#include "provider/request/xslt/TransformBudget.h"

#include <algorithm>
#include <utility>

namespace qrv::cim {

namespace {

// Longer than any transform, and short enough for the clock's arithmetic.
constexpr std::size_t kLongestMilliseconds = std::size_t{1} << 40;

}  // namespace

TransformBudget::TransformBudget(const TransformLimits& limits, std::function<std::size_t()> outputBytes)
    : limits_(limits),
      deadline_(std::chrono::steady_clock::now() +
                std::chrono::milliseconds(std::min(limits.maxMilliseconds, kLongestMilliseconds))),
      outputBytes_(std::move(outputBytes)) {}

void TransformBudget::check(std::size_t depth, std::size_t memoryBytes) {
  if (exceeded_.empty()) exceeded_ = firstPassed(depth, memoryBytes);
  if (!exceeded_.empty()) throw Exceeded();
}

void TransformBudget::end(const std::string& reason) {
  if (exceeded_.empty()) exceeded_ = reason;
  throw Exceeded();
}

std::string TransformBudget::firstPassed(std::size_t depth, std::size_t memoryBytes) const {
  if (std::chrono::steady_clock::now() > deadline_) {
    return "it ran longer than " + std::to_string(limits_.maxMilliseconds) +
           " ms (KORVEX_TRANSFORM_MAX_MILLISECONDS)";
  }
  if (depth > limits_.maxDepth) {
    return "its templates nested deeper than " + std::to_string(limits_.maxDepth) +
           " calls, parameters and variables (KORVEX_TRANSFORM_MAX_DEPTH): does a template call itself without end?";
  }
  if (memoryBytes > limits_.maxMemoryBytes) {
    return "it held more than " + std::to_string(limits_.maxMemoryBytes) +
           " bytes of memory (KORVEX_TRANSFORM_MAX_MEMORY_BYTES)";
  }
  if (outputBytes_() > limits_.maxOutputBytes) {
    return "it wrote more than " + std::to_string(limits_.maxOutputBytes) +
           " bytes (KORVEX_TRANSFORM_MAX_OUTPUT_BYTES)";
  }
  return {};
}

}  // namespace qrv::cim
