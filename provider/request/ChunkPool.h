#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <vector>

namespace qrv::cim {

// Chunks of memory for the arenas of parsed documents, in six sizes from
// 64 KiB to 2 MiB, kept for the next document when one is released.
// Building a tree touches every byte of its memory once; taken fresh from
// the system each time, a large tree costs a page fault for every page on
// every parse (the heap gives large blocks back to the system when they are
// freed), which grows the time per node with the document. Chunks that come
// back are kept instead, as long as all chunks held, in use or free, stay
// within `limit` bytes.
class ChunkPool {
 public:
  static constexpr int kSizes = 6;
  static constexpr std::size_t chunkBytes(int size) { return (std::size_t{64} << 10) << size; }

  struct Chunk {
    void* memory;
    int size;  // 0 to kSizes - 1
  };

  explicit ChunkPool(std::size_t limit) : limit_(limit) {}
  ~ChunkPool();
  ChunkPool(const ChunkPool&) = delete;
  ChunkPool& operator=(const ChunkPool&) = delete;

  // A chunk of chunkBytes(size) bytes, aligned for any type.
  Chunk take(int size);

  // Gives back chunks that take() handed out.
  void give(const std::vector<Chunk>& chunks);

  // The chunks held, in use and free, in bytes.
  std::size_t heldBytes();
  // The free chunks kept, in bytes.
  std::size_t freeBytes();

 private:
  // Adds `chunk` to the free chunks; false when there is no room to note it.
  bool keep(const Chunk& chunk);

  const std::size_t limit_;
  std::mutex lock_;
  std::array<std::vector<void*>, kSizes> free_;
  std::size_t held_ = 0;  // chunks, in use or free
  std::size_t free_bytes_ = 0;
};

}  // namespace qrv::cim
