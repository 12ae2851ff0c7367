#pragma once
// Environment variables set for the life of the object, as the provider's
// bounds read them at every request.

#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

namespace qrv::test {

class ScopedEnvironment {
 public:
  ScopedEnvironment(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
      setenv(name, value, 1);
      names_.push_back(name);
    }
  }
  ~ScopedEnvironment() {
    for (const char* name : names_) unsetenv(name);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::vector<const char*> names_;
};

}  // namespace qrv::test
