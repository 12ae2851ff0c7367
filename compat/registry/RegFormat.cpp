#include "compat/registry/RegFormat.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/text/AsciiCase.h"
#include "compat/registry/RegLineSyntax.h"

namespace qrv::regfile {

namespace {

// Whether the key's values, as the registry now holds them, are the ones
// read in the order read (less the deleted ones) followed by new ones: then
// each value read can stay at its line and new ones can follow them.
bool valuesKeepTheirOrder(const Registry::Key& before, const Registry::Key* now) {
  if (!now) return true;
  const auto& values = now->values();
  std::size_t next = 0;
  for (const auto& [name, value] : before.values()) {
    const Value* kept = now->value(name);
    if (!kept) continue;
    if (next == values.size() || kept != &values[next].second) return false;
    ++next;
  }
  return std::none_of(values.begin() + static_cast<std::ptrdiff_t>(next), values.end(),
                      [&before](const auto& added) { return before.value(added.first) != nullptr; });
}

}  // namespace

// Reads the logical lines of a text into a document, one at a time.
class RegDocument::Reader {
 public:
  Reader(RegDocument& document, std::string origin) : document_(document), origin_(std::move(origin)) {}

  void read(const LogicalLine& line) {
    const LineReader reader(origin_, line);
    if (!headerSeen_) {
      readPreamble(reader, line);
    } else if (isBlankOrComment(line)) {
      pending_ += line.raw;
    } else if (isSection(line)) {
      readSection(reader, line);
    } else {
      readValue(reader, line);
    }
  }

  void finish() {
    if (!headerSeen_) throw RegistryError(origin_ + ": not a registry file: it is empty");
    document_.epilogue_ = std::move(pending_);
    for (const auto& [key, index] : lastSections_) document_.sections_[index].lastOfKey = true;
  }

 private:
  void readPreamble(const LineReader& reader, const LogicalLine& line) {
    if (!isBlankOrComment(line)) {
      if (line.text != kRegHeader) reader.fail(std::string("not a registry file: expected \"") + kRegHeader + "\"");
      headerSeen_ = true;
    }
    document_.preamble_ += line.raw;
  }

  void readSection(const LineReader& reader, const LogicalLine& line) {
    const std::string path = reader.sectionPath();
    reader.apply([&] { key_ = &document_.registry_.createKey(path); });
    lastSections_[key_] = document_.sections_.size();
    document_.sections_.push_back({std::exchange(pending_, {}), line.raw, path, text::toLowerAscii(path), {}, false});
  }

  void readValue(const LineReader& reader, const LogicalLine& line) {
    if (!key_) reader.fail("a value line before the first [key] section");
    const auto [name, value] = reader.value();
    const bool first = key_->value(name) == nullptr;
    reader.apply([&, &name = name, &value = value] { key_->setValue(name, value); });
    std::vector<Entry>& body = document_.sections_.back().body;
    if (!pending_.empty()) body.push_back({std::exchange(pending_, {}), false, "", false});
    body.push_back({line.raw, true, name, first});
  }

  RegDocument& document_;
  std::string origin_;
  bool headerSeen_ = false;
  std::string pending_;  // comment and blank lines not yet placed
  Registry::Key* key_ = nullptr;
  std::unordered_map<const Registry::Key*, std::size_t> lastSections_;
};

// Writes a registry over the text of a document.
class RegDocument::Writer {
 public:
  Writer(const RegDocument& document, const Registry& registry) : document_(document) {
    std::unordered_set<const Registry::Key*> withSection;
    for (const Section& section : document.sections_) {
      const Placement placement{document.registry_.key(section.path), registry.key(section.path),
                                registry.hasKey(section.path)};
      placements_.push_back(placement);
      withSection.insert(placement.now);
    }
    for (const Registry::Key* key : registry.keysToWrite()) {
      if (!withSection.count(key)) newKeys_.emplace_back(text::toLowerAscii(key->path()), key);
    }
  }

  std::string text() {
    write(document_.preamble_);
    for (std::size_t i = 0; i < document_.sections_.size(); ++i) {
      writeNewKeysBefore(document_.sections_[i].lookup);
      writeSection(document_.sections_[i], placements_[i]);
    }
    for (; nextNewKey_ < newKeys_.size(); ++nextNewKey_) writeNewKey(*newKeys_[nextNewKey_].second);
    write(document_.epilogue_);
    return std::move(out_);
  }

 private:
  // A section's key as read and as it is now (null when it is gone or there
  // only as an ancestor), and whether it still exists.
  struct Placement {
    const Registry::Key* before;
    const Registry::Key* now;
    bool kept;
  };

  void write(const std::string& raw) { out_ += raw; }

  void writeLine(const std::string& line) {
    if (!out_.empty() && out_.back() != '\n') out_ += document_.newline_;
    out_ += line + document_.newline_;
  }

  void writeNewKeysBefore(const std::string& lookup) {
    for (; nextNewKey_ < newKeys_.size() && newKeys_[nextNewKey_].first < lookup; ++nextNewKey_) {
      writeNewKey(*newKeys_[nextNewKey_].second);
    }
  }

  void writeNewKey(const Registry::Key& key) {
    writeLine("");
    writeLine(sectionLineText(key.path()));
    for (const auto& [name, value] : key.values()) writeLine(valueLineText(name, value));
  }

  void writeSection(const Section& section, const Placement& placement) {
    if (!placement.kept) return;
    write(section.leading);
    write(section.header);
    const bool inPlace = keepsOrder(*placement.before, placement.now);
    for (const Entry& entry : section.body) {
      if (!entry.isValue) {
        write(entry.raw);
      } else if (inPlace) {
        writeValue(entry, *placement.before, placement.now);
      }
    }
    if (!section.lastOfKey || !placement.now) return;
    for (const auto& [name, value] : placement.now->values()) {
      if (!inPlace || !placement.before->value(name)) writeLine(valueLineText(name, value));
    }
  }

  void writeValue(const Entry& entry, const Registry::Key& before, const Registry::Key* now) {
    const auto* current = now ? now->namedValue(entry.valueName) : nullptr;
    if (!current) return;
    if (*current == *before.namedValue(entry.valueName)) {
      write(entry.raw);
    } else if (entry.firstDefinition) {
      writeLine(valueLineText(current->first, current->second));
    }
  }

  // valuesKeepTheirOrder, once for each key however many sections it has.
  bool keepsOrder(const Registry::Key& before, const Registry::Key* now) {
    const auto [it, added] = keepsOrder_.try_emplace(&before, false);
    if (added) it->second = valuesKeepTheirOrder(before, now);
    return it->second;
  }

  const RegDocument& document_;
  std::vector<Placement> placements_;  // by section
  std::vector<std::pair<std::string, const Registry::Key*>> newKeys_;  // keys without a section, sorted
  std::size_t nextNewKey_ = 0;
  std::unordered_map<const Registry::Key*, bool> keepsOrder_;  // by the key as read
  std::string out_;
};

RegDocument::RegDocument() : preamble_(std::string(kRegHeader) + "\n") {}

RegDocument RegDocument::parse(const std::string& text, const std::string& origin) {
  const RegTextLines lines = splitRegText(text);
  RegDocument document;
  document.encoding_ = lines.encoding;
  document.newline_ = lines.newline;
  document.preamble_.clear();
  Reader reader(document, origin);
  for (const LogicalLine& line : lines.lines) reader.read(line);
  reader.finish();
  return document;
}

std::string RegDocument::format(const Registry& registry) const {
  return encodeRegText(Writer(*this, registry).text(), encoding_);
}

Registry parseRegText(const std::string& text, const std::string& origin) {
  return RegDocument::parse(text, origin).registry();
}

std::string formatRegText(const Registry& registry) { return RegDocument().format(registry); }

}  // namespace qrv::regfile
