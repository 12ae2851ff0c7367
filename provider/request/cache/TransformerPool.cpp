#include "provider/request/cache/TransformerPool.h"

namespace qrv::cim {

TransformerPool::TransformerPool(std::size_t capacity) : capacity_(capacity) {}

TransformerPool::~TransformerPool() { clear(); }

TransformerPool::Lease TransformerPool::lease() {
  {
    const std::lock_guard<std::mutex> guard(lock_);
    if (!idle_.empty()) {
      std::unique_ptr<BoundedTransformer> transformer = std::move(idle_.back());
      idle_.pop_back();
      return Lease(*this, std::move(transformer));
    }
  }
  return Lease(*this, std::make_unique<BoundedTransformer>());
}

void TransformerPool::giveBack(std::unique_ptr<BoundedTransformer> transformer) {
  const std::lock_guard<std::mutex> guard(lock_);
  // Beyond the capacity it goes with the parameter, once the lock is left.
  if (idle_.size() < capacity_) idle_.push_back(std::move(transformer));
}

void TransformerPool::clear() {
  std::vector<std::unique_ptr<BoundedTransformer>> dropped;
  const std::lock_guard<std::mutex> guard(lock_);
  dropped.swap(idle_);
}

TransformerPool::Lease::Lease(TransformerPool& pool, std::unique_ptr<BoundedTransformer> transformer)
    : pool_(pool), transformer_(std::move(transformer)) {}

TransformerPool::Lease::~Lease() {
  if (transformer_) pool_.giveBack(std::move(transformer_));
}

}  // namespace qrv::cim
