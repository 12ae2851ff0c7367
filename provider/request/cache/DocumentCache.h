#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "provider/request/cache/FileIdentity.h"
#include "provider/request/cache/ParsedDocument.h"

namespace qrv::cim {

// Parsed request documents kept for repeated enumerations. A document is
// found by its key (what the request writes before the data, and the data
// files' paths) and only while every data file still has the identity it
// had before it was read, so a changed data file is read anew.
//
// The kept trees together hold at most `budget` bytes; the least recently
// used goes first, and a tree larger than the budget is not kept. A document
// serves one request at a time: take() hands it over, give() brings it
// back, and a request that finds it taken parses its own.
class DocumentCache {
 public:
  using Identities = std::vector<FileIdentity>;

  explicit DocumentCache(std::size_t budget) : budget_(budget) {}

  // The kept document of `key` if its files still have `identities`; null otherwise.
  std::unique_ptr<ParsedDocument> take(const std::string& key, const Identities& identities);

  // Keeps `document`, parsed from files that had `identities` before they
  // were read, unless one of them may still change unnoticed (see settled())
  // or it does not fit the budget.
  void give(const std::string& key, Identities identities, std::unique_ptr<ParsedDocument> document);

  void clear();

  // The bytes that the kept trees hold.
  std::size_t bytes();

 private:
  struct Entry {
    std::string key;
    Identities identities;
    std::unique_ptr<ParsedDocument> document;
    std::size_t bytes;
  };

  std::size_t budget_;
  std::mutex lock_;
  std::list<Entry> entries_;  // most recently used first
  std::size_t bytes_ = 0;
};

}  // namespace qrv::cim
