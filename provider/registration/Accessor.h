#pragma once

#include <string>

namespace qrv::cim {

// Base of all data sources of an operator.
class Accessor {
 public:
  Accessor() = default;
  virtual ~Accessor() = default;
  Accessor(const Accessor&) = delete;
  Accessor& operator=(const Accessor&) = delete;

  bool valueOnly() const { return valueOnly_; }
  // True exactly for "true" and "TRUE".
  void setValueOnly(const std::string& text) { valueOnly_ = text == "true" || text == "TRUE"; }

 private:
  bool valueOnly_ = true;
};

// A data file below the stylesheet root whose text an operator embeds into
// its request document.
class FileAccessor : public Accessor {
 public:
  FileAccessor(std::string app, std::string area, std::string name, bool unicode)
      : app_(std::move(app)), area_(std::move(area)), name_(std::move(name)), unicode_(unicode) {}

  const std::string& app() const { return app_; }
  const std::string& area() const { return area_; }
  const std::string& name() const { return name_; }
  bool unicode() const { return unicode_; }
  // app/area/name, with no check for empty parts.
  std::string relativePath() const { return app_ + "/" + area_ + "/" + name_; }

 private:
  std::string app_;
  std::string area_;
  std::string name_;
  bool unicode_;
};

}  // namespace qrv::cim
