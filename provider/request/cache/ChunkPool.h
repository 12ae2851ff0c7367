#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <vector>

namespace qrv::cim {

// Memory for the arenas of parsed documents, kept for the next document
// when one is released: chunks in six sizes from 64 KiB to 2 MiB, and the
// few larger blocks a large tree needs on their own (its values pool's
// table). Building a tree touches every byte of its memory once; taken
// fresh from the system each time, a large tree costs a page fault for
// every page on every parse (the heap gives large blocks back to the
// system when they are freed), which grows the time per node with the
// document. Blocks that come back are kept instead, as long as all the
// pool holds, in use or free, stays within `limit` bytes.
class ChunkPool {
 public:
  static constexpr int kChunkSizes = 6;
  static constexpr std::size_t chunkBytes(int size) { return (std::size_t{64} << 10) << size; }

  struct Block {
    void* memory;
    std::size_t bytes;
  };

  explicit ChunkPool(std::size_t limit) : limit_(limit) {}
  ~ChunkPool();
  ChunkPool(const ChunkPool&) = delete;
  ChunkPool& operator=(const ChunkPool&) = delete;

  // A block of at least `bytes`, aligned for any type: of exactly that size
  // for a chunk size, otherwise a kept block of up to twice the size, or a
  // new one.
  Block take(std::size_t bytes);

  // Gives back blocks that take() handed out.
  void give(const std::vector<Block>& blocks);

  // What the pool holds, in use and free, in bytes.
  std::size_t heldBytes();
  // The free blocks kept, in bytes.
  std::size_t freeBytes();

 private:
  // The free list for blocks of `bytes`: a chunk size's own, or the one of
  // all other sizes.
  std::vector<Block>& freeListFor(std::size_t bytes);
  // Takes the smallest block of `bytes` to 2 * `bytes` off `free`; false if there is none.
  static bool takeFitting(std::vector<Block>& free, std::size_t bytes, Block& block);
  // Adds `block` to the free blocks; false when there is no room to note it.
  bool keep(const Block& block);

  const std::size_t limit_;
  std::mutex lock_;
  std::array<std::vector<Block>, kChunkSizes + 1> free_;  // the last for blocks of other sizes
  std::size_t held_ = 0;  // in use or free
  std::size_t free_bytes_ = 0;
};

}  // namespace qrv::cim
