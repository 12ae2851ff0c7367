#include "provider/request/ChunkPool.h"

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
  for (int size = 0; size < kSizes; ++size) {
    for (void* memory : free_[size]) {
      QRV_UNPOISON(memory, chunkBytes(size));
      ::operator delete(memory);
    }
  }
}

ChunkPool::Chunk ChunkPool::take(int size) {
  const std::size_t bytes = chunkBytes(size);
  {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<void*>& free = free_[size];
    if (!free.empty()) {
      void* memory = free.back();
      free.pop_back();
      free_bytes_ -= bytes;
      QRV_UNPOISON(memory, bytes);
      return {memory, size};
    }
    held_ += bytes;
  }
  try {
    return {::operator new(bytes), size};
  } catch (const std::bad_alloc&) {
    std::lock_guard<std::mutex> guard(lock_);
    held_ -= bytes;
    throw;
  }
}

void ChunkPool::give(const std::vector<Chunk>& chunks) {
  std::lock_guard<std::mutex> guard(lock_);
  for (const Chunk& chunk : chunks) {
    if (held_ <= limit_ && keep(chunk)) continue;
    held_ -= chunkBytes(chunk.size);
    ::operator delete(chunk.memory);
  }
}

bool ChunkPool::keep(const Chunk& chunk) {
  try {
    free_[chunk.size].push_back(chunk.memory);
  } catch (const std::bad_alloc&) {
    return false;
  }
  free_bytes_ += chunkBytes(chunk.size);
  QRV_POISON(chunk.memory, chunkBytes(chunk.size));
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
