#include "provider/request/xslt/ReachableFile.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "common/text/AsciiCase.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/xslt/FileUrl.h"

namespace qrv::cim {

namespace {

using Segments = std::vector<std::string>;

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Calls `visit` with every segment of a path and whether it is the first.
template <class Visit>
void forEachSegment(const std::string& path, Visit visit) {
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::find_if(path.begin() + start, path.end(), isSeparator) - path.begin();
    visit(path.substr(start, end - start), start == 0);
    start = end + 1;
  }
}

#ifdef _WIN32

bool isDrive(const std::string& segment) {
  return segment.size() == 2 && segment[1] == ':' && text::toLowerAscii(segment[0]) >= 'a' &&
         text::toLowerAscii(segment[0]) <= 'z';
}

// Whether Windows opens a segment by this very name: it trims a final dot
// or blank (".. " climbs as ".." does), and a colon past the drive names a
// stream or a device.
bool isPlainName(const std::string& segment, bool first) {
  if (segment.empty() || segment == "." || segment == ".." || (first && isDrive(segment))) return true;
  return segment.back() != '.' && segment.back() != ' ' && segment.find(':') == std::string::npos;
}

bool sameName(const std::string& a, const std::string& b) { return text::equalsIgnoringAsciiCase(a, b); }

#else

bool isPlainName(const std::string&, bool) { return true; }

bool sameName(const std::string& a, const std::string& b) { return a == b; }

#endif

// Whether every segment of the path is opened by the name it is written
// with; a zero byte would end the name early.
bool hasPlainNames(const std::string& path) {
  if (path.find('\0') != std::string::npos) return false;
  bool plain = true;
  forEachSegment(path, [&plain](const std::string& segment, bool first) { plain = plain && isPlainName(segment, first); });
  return plain;
}

// The segments of a path with "." and empty ones dropped and each ".."
// taking back the one before it; none when a ".." climbs above the start.
std::optional<Segments> resolvedSegments(const std::string& path) {
  Segments segments;
  bool climbsOut = false;
  forEachSegment(path, [&](const std::string& segment, bool) {
    if (segment == "..") {
      climbsOut = climbsOut || segments.empty();
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
  });
  if (climbsOut) return std::nullopt;
  return segments;
}

// Whether `path` names something below `root`, not the root itself.
bool liesBelow(const Segments& path, const Segments& root) {
  return path.size() > root.size() && std::equal(root.begin(), root.end(), path.begin(), sameName);
}

}  // namespace

FileReach reachFile(const std::string& url, const std::string& root) {
  const std::string path = pathOfFileUrl(url);
  if (path.empty()) return {{}, "is no local file"};
  if (!hasPlainNames(path)) return {{}, "names no plain file"};
  const std::optional<Segments> segments = resolvedSegments(path);
  const std::optional<Segments> rootSegments = resolvedSegments(root);
  if (!segments || !rootSegments || !liesBelow(*segments, *rootSegments)) return {{}, "lies outside " + root};
  // The root as the provider names it, then the names below it.
  std::string reached = root;
  for (std::size_t i = rootSegments->size(); i < segments->size(); ++i) reached += "/" + (*segments)[i];
  return {nativePath(reached), {}};
}

}  // namespace qrv::cim
