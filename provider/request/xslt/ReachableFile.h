#pragma once

#include <string>

namespace qrv::cim {

// The file that a URL reached by a stylesheet names (an xsl:include,
// xsl:import or document() address, resolved against its base), and whether
// the stylesheet may read it: only a local file below the stylesheet root
// may be read, never an address on the network, fetched at every compile
// or transform, nor any other file that the host's account can read.
//
// The decision is made on the text alone: escapes are decoded, "." and ".."
// segments resolved, and either slash separates. On Windows letter case does
// not count, and a segment that Windows would read as another name (one that
// ends in a dot or a blank, which it trims, or holds a colon, a stream or a
// device) is refused.
struct FileReach {
  std::string path;     // the file's native path, when it may be read
  std::string refusal;  // otherwise why not, to follow the URL in a sentence
};

FileReach reachFile(const std::string& url, const std::string& root);

}  // namespace qrv::cim
