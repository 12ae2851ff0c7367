#include "provider/request/DocumentArena.h"

#include <xercesc/util/PlatformUtils.hpp>

#include <algorithm>

#include <new>

namespace qrv::cim {

namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);
// A block above this is taken from the heap on its own, so that a chunk never leaves
// more than an eighth of the largest unused at its end.
constexpr std::size_t kLargestShared = ChunkPool::chunkBytes(ChunkPool::kSizes - 1) / 8;

std::size_t aligned(std::size_t size) { return (size + kAlignment - 1) & ~(kAlignment - 1); }

}  // namespace

DocumentArena::~DocumentArena() {
  for (const Block& block : large_) ::operator delete(block.memory);
  pool_.give(chunks_);
}

void* DocumentArena::allocate(XMLSize_t size) {
  const std::size_t needed = aligned(std::max<std::size_t>(size, 1));
  if (needed > kLargestShared) return allocateLarge(needed);
  while (needed > left_) takeChunk();
  void* block = next_;
  next_ += needed;
  left_ -= needed;
  return block;
}

void DocumentArena::takeChunk() {
  const int size = chunks_.empty() ? 0 : std::min(chunks_.back().size + 1, ChunkPool::kSizes - 1);
  chunks_.reserve(chunks_.size() + 1);
  const ChunkPool::Chunk chunk = pool_.take(size);
  chunks_.push_back(chunk);
  next_ = static_cast<unsigned char*>(chunk.memory);
  left_ = ChunkPool::chunkBytes(size);
  bytes_ += left_;
}

void* DocumentArena::allocateLarge(std::size_t size) {
  large_.reserve(large_.size() + 1);
  void* memory = ::operator new(size);
  large_.push_back({memory, size});
  bytes_ += size;
  return memory;
}

void DocumentArena::deallocate(void*) {}

xercesc::MemoryManager* DocumentArena::getExceptionMemoryManager() {
  return xercesc::XMLPlatformUtils::fgMemoryManager;
}

}  // namespace qrv::cim
