#pragma once

#include <xercesc/framework/MemoryManager.hpp>

#include <atomic>
#include <cstddef>

namespace qrv::cim {

// Hands out memory like the default manager and keeps the count of bytes
// live: what a source tree built with it holds once parsing is done, or
// what a transform run with it holds at any moment.
class CountingMemoryManager : public xercesc::MemoryManager {
 public:
  void* allocate(XMLSize_t size) override;
  void deallocate(void* p) override;
  MemoryManager* getExceptionMemoryManager() override;

  std::size_t live() const { return live_.load(std::memory_order_relaxed); }

 private:
  // Keeps what follows the size aligned for any type.
  static constexpr std::size_t kHeader = alignof(std::max_align_t);
  std::atomic<std::size_t> live_{0};
};

}  // namespace qrv::cim
