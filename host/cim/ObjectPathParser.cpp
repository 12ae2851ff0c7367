#include "host/cim/ObjectPathParser.h"

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isNamePart(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
// An unquoted number runs to the next ',' and is taken as it stands, as the
// provider reads it (a version such as 4.2.1).
bool isUnquotedPart(char c) { return c != ',' && c != '"'; }

class PathReader {
 public:
  explicit PathReader(std::string_view path) : path_(path) {}

  ObjectPath read() {
    ObjectPath result;
    if (path_.empty()) fail("the path is empty");
    skipNamespacePrefix();
    result.className = name("a class name");
    if (accept('.')) {
      do {
        ObjectPathKey key;
        key.position = at_ + 1;
        key.name = name("a key property name");
        if (!accept('=')) fail("expected '=' after " + key.name + ", found " + found());
        key.value = value();
        result.keys.push_back(std::move(key));
      } while (accept(','));
    } else if (accept('=')) {
      if (accept('@')) {
        result.singleton = true;
      } else {
        result.keys.push_back({"", at_ + 1, value()});
      }
    }
    if (at_ < path_.size()) {
      const char* expected = result.singleton ? "" : result.keys.empty() ? "'.' or '=' or " : "',' or ";
      fail(std::string("expected ") + expected + "the end of the path, found " + found());
    }
    return result;
  }

 private:
  [[noreturn]] void fail(const std::string& reason) const { throw ObjectPathError(at_ + 1, reason); }

  std::string found() const {
    return at_ < path_.size() ? "'" + std::string(1, path_[at_]) + "'" : "the end of the path";
  }

  // A server and namespace (\\server\root\cimv2:) or a namespace alone
  // (root\cimv2:) before the class name: the last colon before the first '='.
  void skipNamespacePrefix() {
    const std::size_t colon = path_.substr(0, path_.find('=')).rfind(':');
    if (colon == std::string_view::npos) return;
    if (colon == 0) fail("expected a namespace before ':'");
    at_ = colon + 1;
  }

  bool accept(char c) {
    if (at_ >= path_.size() || path_[at_] != c) return false;
    ++at_;
    return true;
  }

  std::string run(bool (*accepts)(char)) {
    const std::size_t start = at_;
    while (at_ < path_.size() && accepts(path_[at_])) ++at_;
    return std::string(path_.substr(start, at_ - start));
  }

  std::string name(const std::string& what) {
    if (at_ >= path_.size() || !isNameStart(path_[at_])) fail("expected " + what + ", found " + found());
    return run(isNamePart);
  }

  std::string value() {
    const std::size_t start = at_;
    if (accept('"')) {
      while (at_ < path_.size() && path_[at_] != '"') at_ += path_[at_] == '\\' && at_ + 1 < path_.size() ? 2 : 1;
      if (at_ >= path_.size()) {
        at_ = start;
        fail("the quoted value has no closing quote");
      }
      ++at_;
    } else if (at_ < path_.size() && (isDigit(path_[at_]) || path_[at_] == '-' || path_[at_] == '+')) {
      ++at_;
      if (!isDigit(path_[start]) && (at_ >= path_.size() || !isDigit(path_[at_]))) fail("expected digits after the sign");
      run(isUnquotedPart);
    } else {
      const std::string word = at_ < path_.size() && isNameStart(path_[at_]) ? run(isNamePart) : "";
      if (!equalsIgnoringAsciiCase(word, "TRUE") && !equalsIgnoringAsciiCase(word, "FALSE")) {
        at_ = start;
        fail("expected a value (a quoted string, a number, TRUE or FALSE), found " + found());
      }
    }
    return std::string(path_.substr(start, at_ - start));
  }

  std::string_view path_;
  std::size_t at_ = 0;
};

}  // namespace

ObjectPath parseObjectPath(std::string_view path) { return PathReader(path).read(); }

}  // namespace wmihost
