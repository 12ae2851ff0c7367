#pragma once
// A registry as .reg text (see RegLineSyntax.h for the lines). The text is
// read keeping its lines, so that writing back a changed registry changes
// only the lines of what changed: a value that reads back as itself keeps
// its text (the spelling of its data, its continuation lines, even bytes the
// registry does not see, such as text after an embedded NUL), and comments,
// blank lines and the order of sections and values stay as they were.

#include <string>
#include <vector>

#include "compat/registry/RegTextLines.h"
#include "compat/registry/Registry.h"

namespace qrv::regfile {

class RegDocument {
 public:
  // The header line alone, in UTF-8.
  RegDocument();

  // Reads .reg text; origin names the text in error messages. Throws
  // RegistryError naming the line of the first fault.
  static RegDocument parse(const std::string& text, const std::string& origin);

  // The registry the text holds.
  const Registry& registry() const { return registry_; }

  // The text of registry, written over this document's text:
  // - a value that registry holds with the same name and data keeps its
  //   lines; a changed value is written anew at its first line, its later
  //   lines go; a deleted value's lines go;
  // - values new to a key go at the end of its last section; a key whose
  //   remaining values registry holds in another order is written anew there;
  // - a deleted key's sections go with the comment and blank lines before
  //   them; a new key gets a section where it sorts among the others;
  // - comment and blank lines, the encoding and the line ends are kept.
  // Formatting registry() gives back the text as read.
  std::string format(const Registry& registry) const;

 private:
  class Reader;
  class Writer;

  // A value line, or comment and blank lines, inside a section.
  struct Entry {
    std::string raw;
    bool isValue = false;
    std::string valueName;
    bool firstDefinition = false;  // the value's first line in the text
  };
  struct Section {
    std::string leading;  // the comment and blank lines before it
    std::string header;
    std::string path;
    std::string lookup;  // the path in lower case, as keys sort
    std::vector<Entry> body;
    bool lastOfKey = false;
  };

  TextEncoding encoding_ = TextEncoding::kUtf8;
  std::string newline_ = "\n";
  std::string preamble_;  // up to the header line
  std::vector<Section> sections_;
  std::string epilogue_;  // the comment and blank lines after the last value
  Registry registry_;
};

// The registry of .reg text, as RegDocument::parse reads it.
Registry parseRegText(const std::string& text, const std::string& origin);

// The registry as UTF-8 .reg text of its own: keys sorted, parents first.
std::string formatRegText(const Registry& registry);

}  // namespace qrv::regfile
