#pragma once

#include <xercesc/framework/MemoryManager.hpp>

#include <cstddef>
#include <vector>

#include "provider/request/cache/ChunkPool.h"

namespace qrv::cim {

// The memory of one parsed document's tree. A tree is built once, read by
// any number of transforms and then dropped whole, so its nodes and
// strings are laid out one after another in chunks from `pool`, each chunk
// twice the size of the one before up to the largest, and all go back
// together when the arena goes; a block too big to share a chunk comes
// from the pool on its own. Freeing a single block gives nothing back:
// the tree frees only what it outgrew while it was built (a bucket that
// grew, a text buffer), a small share of it.
class DocumentArena : public xercesc::MemoryManager {
 public:
  explicit DocumentArena(ChunkPool& pool) : pool_(pool) {}
  ~DocumentArena() override;
  DocumentArena(const DocumentArena&) = delete;
  DocumentArena& operator=(const DocumentArena&) = delete;

  void* allocate(XMLSize_t size) override;
  void deallocate(void* p) override;
  MemoryManager* getExceptionMemoryManager() override;

  // The memory held, in bytes.
  std::size_t bytes() const { return bytes_; }

 private:
  void takeChunk();
  void* allocateLarge(std::size_t size);

  ChunkPool& pool_;
  std::vector<ChunkPool::Block> blocks_;  // chunks, and blocks too big to share one
  int nextChunkSize_ = 0;
  unsigned char* next_ = nullptr;
  std::size_t left_ = 0;  // bytes free at next_
  std::size_t bytes_ = 0;
};

}  // namespace qrv::cim
