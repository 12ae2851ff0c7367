#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace qrv::cim {

// The buffers of a kind of request text (request documents, result
// texts), kept with their capacity for the next request. A large request
// writes tens of megabytes of text; a buffer taken fresh from the system
// costs a page fault for every page written, and a growing one copies
// itself each time it doubles, both more per byte the larger the text.
// A kept buffer is written in place. The pool keeps at most `count`
// buffers, whose capacities add up to at most `limit` bytes; others go
// back to the system.
class TextPool {
 public:
  TextPool(std::size_t count, std::size_t limit) : count_(count), limit_(limit) {}
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  // An empty text, with the largest capacity kept if there is one.
  std::string take();
  // Keeps `text`'s buffer if there is room for it.
  void give(std::string&& text) noexcept;

  // The capacities of the buffers kept, in bytes.
  std::size_t keptBytes();

 private:
  const std::size_t count_;
  const std::size_t limit_;
  std::mutex lock_;
  std::vector<std::string> kept_;
  std::size_t keptBytes_ = 0;
};

// A text taken from a pool for the lifetime of this object, then given back.
class PooledText {
 public:
  explicit PooledText(TextPool& pool) : pool_(pool), text_(pool.take()) {}
  ~PooledText() { pool_.give(std::move(text_)); }
  PooledText(const PooledText&) = delete;
  PooledText& operator=(const PooledText&) = delete;

  std::string& operator*() { return text_; }
  std::string* operator->() { return &text_; }

 private:
  TextPool& pool_;
  std::string text_;
};

}  // namespace qrv::cim
