#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "provider/request/cache/FileIdentity.h"

namespace XALAN_CPP_NAMESPACE {
class XalanCompiledStylesheet;
class XalanTransformer;
}  // namespace XALAN_CPP_NAMESPACE

namespace qrv::cim {

// A compiled stylesheet with the files it was compiled from (the stylesheet
// and every file it includes or imports) as they were before compiling.
// Any number of transforms may use it at once.
class CompiledStylesheet {
 public:
  using Files = std::vector<std::pair<std::string, FileIdentity>>;

  CompiledStylesheet(std::unique_ptr<xalanc::XalanTransformer> owner, const xalanc::XalanCompiledStylesheet* compiled,
                     Files files);
  ~CompiledStylesheet();
  CompiledStylesheet(const CompiledStylesheet&) = delete;
  CompiledStylesheet& operator=(const CompiledStylesheet&) = delete;

  const xalanc::XalanCompiledStylesheet* get() const { return compiled_; }
  // Whether every file is still as it was, and was so long enough for any
  // later edit to show.
  bool current() const;
  bool reusable() const;

 private:
  std::unique_ptr<xalanc::XalanTransformer> owner_;
  const xalanc::XalanCompiledStylesheet* compiled_;
  Files files_;
};

// Compiled stylesheets by path, kept across requests: a request finds the
// stylesheet compiled while none of its files has changed since. The
// capacity bounds the stylesheets kept; the least recently used goes first.
class StylesheetCache {
 public:
  explicit StylesheetCache(std::size_t capacity) : capacity_(capacity) {}

  // The stylesheet at `path` (a native path), compiled anew when it is not
  // kept or has changed; null when it cannot be compiled. It includes and
  // imports files below `root` only.
  std::shared_ptr<const CompiledStylesheet> find(const std::string& path, const std::string& root);

  // Drops every kept stylesheet; those still in use live until their last user is done.
  void clear();

 private:
  using Entry = std::pair<std::string, std::shared_ptr<const CompiledStylesheet>>;

  std::shared_ptr<const CompiledStylesheet> kept(const std::string& path);
  void keep(const std::string& path, std::shared_ptr<const CompiledStylesheet> stylesheet);

  std::size_t capacity_;
  std::mutex lock_;
  std::list<Entry> entries_;  // most recently used first
};

// Why a stylesheet cannot be used: refused before compiling, with the bound
// it passes, or while compiling, with the file it includes or imports that
// may not be read; or Xalan-C's message (with the file and line) when
// compiling fails.
struct StylesheetProblem {
  enum Kind { None, Refused, DoesNotCompile };
  Kind kind = None;
  std::string text;
};

// Compiles the stylesheet at `path`, which may include and import files
// below `root` only; null, with the reason in `problem`, when it is refused
// or cannot be compiled.
std::shared_ptr<const CompiledStylesheet> compileStylesheet(const std::string& path, const std::string& root,
                                                            StylesheetProblem& problem);

}  // namespace qrv::cim
