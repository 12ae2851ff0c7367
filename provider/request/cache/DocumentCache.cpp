#include "provider/request/cache/DocumentCache.h"

#include <algorithm>
#include <utility>

namespace qrv::cim {

std::unique_ptr<ParsedDocument> DocumentCache::take(const std::string& key, const Identities& identities) {
  std::list<Entry> taken;  // a stale document is destroyed after the lock is left
  const std::lock_guard<std::mutex> guard(lock_);
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.key == key; });
  if (found == entries_.end()) return nullptr;
  taken.splice(taken.end(), entries_, found);
  bytes_ -= taken.front().bytes;
  if (taken.front().identities != identities) return nullptr;
  return std::move(taken.front().document);
}

void DocumentCache::give(const std::string& key, Identities identities, std::unique_ptr<ParsedDocument> document) {
  const std::size_t size = document->bytes();
  if (size > budget_ || !std::all_of(identities.begin(), identities.end(), settled)) return;
  std::list<Entry> dropped;
  const std::lock_guard<std::mutex> guard(lock_);
  // A document given back while another request kept its own replaces it.
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.key == key; });
  if (found != entries_.end()) {
    bytes_ -= found->bytes;
    dropped.splice(dropped.end(), entries_, found);
  }
  while (!entries_.empty() && bytes_ + size > budget_) {
    bytes_ -= entries_.back().bytes;
    dropped.splice(dropped.end(), entries_, std::prev(entries_.end()));
  }
  entries_.push_front(Entry{key, std::move(identities), std::move(document), size});
  bytes_ += size;
}

void DocumentCache::clear() {
  std::list<Entry> dropped;
  const std::lock_guard<std::mutex> guard(lock_);
  dropped.swap(entries_);
  bytes_ = 0;
}

std::size_t DocumentCache::bytes() {
  const std::lock_guard<std::mutex> guard(lock_);
  return bytes_;
}

}  // namespace qrv::cim
