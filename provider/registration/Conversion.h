#pragma once

#include <string>

namespace qrv::cim {

// The XSLT stylesheet of an operator, below the stylesheet root.
class Conversion {
 public:
  Conversion(std::string app, std::string area, std::string name)
      : app_(std::move(app)), area_(std::move(area)), name_(std::move(name)) {}
  virtual ~Conversion() = default;
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  const std::string& app() const { return app_; }
  const std::string& area() const { return area_; }
  const std::string& name() const { return name_; }
  // app/area/name, with no check for empty parts.
  std::string relativePath() const { return app_ + "/" + area_ + "/" + name_; }

 private:
  std::string app_;
  std::string area_;
  std::string name_;
};

}  // namespace qrv::cim
