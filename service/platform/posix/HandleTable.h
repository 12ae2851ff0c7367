#pragma once
// Opaque handles for objects the platform keeps on the caller's behalf
// (registry keys, processes, event sources, services): numbers from 1 up,
// each mapping to its object until it is closed. Safe for several threads.

#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "service/platform/Platform.h"

namespace rulo::posix {

template <typename T>
class HandleTable {
 public:
  Handle add(T object) {
    std::lock_guard<std::mutex> guard(mutex_);
    const Handle handle = next_++;
    objects_.emplace(handle, std::move(object));
    return handle;
  }

  // A copy of the object, nothing for an unknown handle.
  std::optional<T> get(Handle handle) const {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto it = objects_.find(handle);
    if (it == objects_.end()) return std::nullopt;
    return it->second;
  }

  // Removes the object; false for an unknown handle.
  bool remove(Handle handle) {
    std::lock_guard<std::mutex> guard(mutex_);
    return objects_.erase(handle) > 0;
  }

 private:
  mutable std::mutex mutex_;
  std::map<Handle, T> objects_;
  Handle next_ = 1;
};

}  // namespace rulo::posix
