#include "host/cim/ObjectPathParser.h"

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isNamePart(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool isQuote(char c) { return c == '"' || c == '\''; }
// A machine's name, a dotted address, or "." for this machine.
bool isServerPart(char c) { return isNamePart(c) || c == '.' || c == '-'; }
// An unquoted number runs to the next ',' and is taken as it stands, as the
// provider reads it (a version such as 4.2.1).
bool isUnquotedPart(char c) { return c != ',' && !isQuote(c); }

class PathReader {
 public:
  explicit PathReader(std::string_view path) : path_(path) {}

  ObjectPath read() {
    ObjectPath result;
    if (path_.empty()) fail("the path is empty");
    readPlace(result);
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
        result.singletonPosition = at_;
      } else {
        result.keys.push_back({"", at_ + 1, value()});
      }
    }
    if (at_ < path_.size()) {
      const char* expected = result.singletonPosition ? "" : result.keys.empty() ? "'.' or '=' or " : "',' or ";
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
  // (root\cimv2:) before the class name. Without a server, a namespace is
  // there when a ':' comes before any '.', '=' or quote.
  void readPlace(ObjectPath& result) {
    if (path_.size() >= 2 && isSeparator(path_[0]) && isSeparator(path_[1])) {
      at_ = 2;
      result.server = run(isServerPart);
      if (result.server.empty()) fail("expected a server name, found " + found());
      if (!acceptSeparator()) fail("expected '\\' after the server name, found " + found());
    } else {
      const std::size_t end = path_.find_first_of(".=:\"'");
      if (end == std::string_view::npos || path_[end] != ':') return;
    }
    result.nameSpace = nameSpace();
    if (!accept(':')) fail("expected ':' after the namespace, found " + found());
  }

  // Names separated by '\' or '/', as written.
  std::string nameSpace() {
    const std::size_t start = at_;
    do {
      name("a namespace name");
    } while (acceptSeparator());
    return std::string(path_.substr(start, at_ - start));
  }

  bool accept(char c) {
    if (at_ >= path_.size() || path_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool acceptSeparator() { return accept('\\') || accept('/'); }

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
    if (at_ < path_.size() && isQuote(path_[at_])) {
      const char quote = path_[at_++];
      while (at_ < path_.size() && path_[at_] != quote) at_ += path_[at_] == '\\' && at_ + 1 < path_.size() ? 2 : 1;
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
