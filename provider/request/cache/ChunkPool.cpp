#include "provider/request/cache/ChunkPool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define QRV_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define QRV_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define QRV_POISON(p, n) ((void)(p), (void)(n))
#define QRV_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace qrv::cim {

ChunkPool::~ChunkPool() {
  for (std::vector<Block>& free : free_) {
    for (const Block& block : free) {
      QRV_UNPOISON(block.memory, block.bytes);
      ::operator delete(block.memory);
    }
  }
}

ChunkPool::Block ChunkPool::take(std::size_t bytes) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    Block block{};
    if (takeFitting(freeListFor(bytes), bytes, block)) {
      free_bytes_ -= block.bytes;
      QRV_UNPOISON(block.memory, block.bytes);
      return block;
    }
    held_ += bytes;
  }
  try {
    return {::operator new(bytes), bytes};
  } catch (const std::bad_alloc&) {
    std::lock_guard<std::mutex> guard(lock_);
    held_ -= bytes;
    throw;
  }
}

void ChunkPool::give(const std::vector<Block>& blocks) {
  std::lock_guard<std::mutex> guard(lock_);
  for (const Block& block : blocks) {
    if (held_ <= limit_ && keep(block)) continue;
    held_ -= block.bytes;
    ::operator delete(block.memory);
  }
}

std::vector<ChunkPool::Block>& ChunkPool::freeListFor(std::size_t bytes) {
  for (int size = 0; size < kChunkSizes; ++size) {
    if (bytes == chunkBytes(size)) return free_[size];
  }
  return free_[kChunkSizes];
}

bool ChunkPool::takeFitting(std::vector<Block>& free, std::size_t bytes, Block& block) {
  auto best = free.end();
  for (auto candidate = free.begin(); candidate != free.end(); ++candidate) {
    if (candidate->bytes >= bytes && candidate->bytes / 2 <= bytes &&
        (best == free.end() || candidate->bytes < best->bytes)) {
      best = candidate;
      if (best->bytes == bytes) break;
    }
  }
  if (best == free.end()) return false;
  block = *best;
  *best = free.back();
  free.pop_back();
  return true;
}

bool ChunkPool::keep(const Block& block) {
  try {
    freeListFor(block.bytes).push_back(block);
  } catch (const std::bad_alloc&) {
    return false;
  }
  free_bytes_ += block.bytes;
  QRV_POISON(block.memory, block.bytes);
  return true;
}

std::size_t ChunkPool::heldBytes() {
  std::lock_guard<std::mutex> guard(lock_);
  return held_;
}

std::size_t ChunkPool::freeBytes() {
  std::lock_guard<std::mutex> guard(lock_);
  return free_bytes_;
}

}  // namespace qrv::cim
