#include "provider/request/cache/DocumentArena.h"

#include <xercesc/util/PlatformUtils.hpp>

#include <algorithm>

namespace qrv::cim {

namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);
// A block above this is taken on its own, so that a chunk never leaves more
// than an eighth of the largest unused at its end.
constexpr std::size_t kLargestShared = ChunkPool::chunkBytes(ChunkPool::kChunkSizes - 1) / 8;

std::size_t aligned(std::size_t size) { return (size + kAlignment - 1) & ~(kAlignment - 1); }

}  // namespace

DocumentArena::~DocumentArena() { pool_.give(blocks_); }

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
  blocks_.reserve(blocks_.size() + 1);
  const ChunkPool::Block chunk = pool_.take(ChunkPool::chunkBytes(nextChunkSize_));
  blocks_.push_back(chunk);
  nextChunkSize_ = std::min(nextChunkSize_ + 1, ChunkPool::kChunkSizes - 1);
  next_ = static_cast<unsigned char*>(chunk.memory);
  left_ = chunk.bytes;
  bytes_ += chunk.bytes;
}

void* DocumentArena::allocateLarge(std::size_t size) {
  blocks_.reserve(blocks_.size() + 1);
  const ChunkPool::Block block = pool_.take(size);
  blocks_.push_back(block);
  bytes_ += block.bytes;
  return block.memory;
}

void DocumentArena::deallocate(void*) {}

xercesc::MemoryManager* DocumentArena::getExceptionMemoryManager() {
  return xercesc::XMLPlatformUtils::fgMemoryManager;
}

}  // namespace qrv::cim
