#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "provider/request/xslt/BoundedTransformer.h"

namespace qrv::cim {

// Transformers kept between requests: a transformer serves one request at a
// time, and setting one up costs about as much as a small transform. At
// most `capacity` idle transformers are kept; more run at once when needed.
class TransformerPool {
 public:
  class Lease;

  explicit TransformerPool(std::size_t capacity);
  ~TransformerPool();
  TransformerPool(const TransformerPool&) = delete;
  TransformerPool& operator=(const TransformerPool&) = delete;

  // An idle transformer or a new one, returned to the pool with the lease.
  Lease lease();

  // Destroys the idle transformers.
  void clear();

 private:
  void giveBack(std::unique_ptr<BoundedTransformer> transformer);

  std::size_t capacity_;
  std::mutex lock_;
  std::vector<std::unique_ptr<BoundedTransformer>> idle_;
};

class TransformerPool::Lease {
 public:
  Lease(TransformerPool& pool, std::unique_ptr<BoundedTransformer> transformer);
  ~Lease();
  Lease(Lease&&) = default;
  Lease& operator=(Lease&&) = delete;

  BoundedTransformer& operator*() const { return *transformer_; }

 private:
  TransformerPool& pool_;
  std::unique_ptr<BoundedTransformer> transformer_;
};

}  // namespace qrv::cim
