#include "provider/request/cache/TextPool.h"

#include <algorithm>
#include <new>

namespace qrv::cim {

std::string TextPool::take() {
  std::lock_guard<std::mutex> guard(lock_);
  if (kept_.empty()) return {};
  const auto largest = std::max_element(kept_.begin(), kept_.end(), [](const std::string& a, const std::string& b) {
    return a.capacity() < b.capacity();
  });
  std::iter_swap(largest, kept_.end() - 1);
  std::string text = std::move(kept_.back());
  kept_.pop_back();
  keptBytes_ -= text.capacity();
  return text;
}

void TextPool::give(std::string&& text) noexcept {
  text.clear();
  std::lock_guard<std::mutex> guard(lock_);
  if (kept_.size() >= count_ || text.capacity() > limit_ - keptBytes_) return;
  try {
    kept_.push_back(std::move(text));
  } catch (const std::bad_alloc&) {
    return;  // no room to note it: the buffer goes back to the system with `text`
  }
  keptBytes_ += kept_.back().capacity();
}

std::size_t TextPool::keptBytes() {
  std::lock_guard<std::mutex> guard(lock_);
  return keptBytes_;
}

}  // namespace qrv::cim
