// Readers of the data file while the service publishes again and again, on
// the Linux platform with real files. Each reader opens the data file and
// reads it whole without pause, as the provider does for every request; each
// read must find a complete data file, never none.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "service/Publish.h"
#include "service/UniqueFiles.h"
#include "service/platform/posix/PosixPlatform.h"
#include "tests/support/TempTree.h"

namespace fs = std::filesystem;
using qrv::test::makeTempDir;
using qrv::test::removeTree;
using qrv::test::writeFile;

namespace rulo::test {
namespace {

constexpr int kReaders = 3;
constexpr std::chrono::seconds kPublishing{2};
constexpr std::size_t kPadding = 64 * 1024;

// The Linux platform with its events counted instead of sent to the journal.
class QuietPlatform : public PosixPlatform {
 public:
  bool reportEvent(Handle, WORD, WORD, DWORD, const std::vector<std::string>&, const std::vector<char>&) override {
    ++events;
    return true;
  }
  int events = 0;
};

// The data of the nth publish: a different filling each time, so that a
// torn file or a partial copy shows.
std::string Inventory(int n) {
  return "<inventory>" + std::string(kPadding, static_cast<char>('a' + n % 26)) + "</inventory>\n";
}

bool IsComplete(const std::string& text) {
  const std::string head = "<inventory>";
  const std::string tail = "</inventory>\n";
  return text.size() == head.size() + kPadding + tail.size() && text.compare(0, head.size(), head) == 0 &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0 &&
         text.find_first_not_of(text[head.size()], head.size()) == text.size() - tail.size();
}

// Whole file or nothing: the text read, or nothing when it could not be opened.
std::optional<std::string> ReadWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[16384];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return text;
}

struct ReaderCounts {
  long reads = 0;
  long missing = 0;
  long incomplete = 0;
};

void ReadUntil(const std::atomic<bool>& done, const std::string& dataFile, ReaderCounts& counts) {
  while (!done.load()) {
    const std::optional<std::string> text = ReadWhole(dataFile);
    ++counts.reads;
    if (!text) ++counts.missing;
    else if (!IsComplete(*text)) ++counts.incomplete;
  }
}

class PublishReaders : public testing::Test {
 protected:
  void TearDown() override { removeTree(dir_); }

  // One publish as a collection run makes it: the output into place, then
  // the older set-aside copies removed.
  void publish(int n) {
    writeFile(output_, Inventory(n));
    std::vector<std::string> newest = {output_};
    if (const auto setAside = PublishInventoryData(output_, dataFile_)) newest.push_back(*setAside);
    RemoveOlderUniqueFiles(newest, dataFile_);
  }

  std::string dir_ = makeTempDir("rulosrv readers");
  std::string output_ = dir_ + "/collector/rul1.TMP";
  std::string dataFile_ = dir_ + "/data/inventory.xml";
  QuietPlatform platform_;
  PlatformScope installed_{platform_};
};

TEST_F(PublishReaders, EveryReadDuringRepeatedPublishingFindsACompleteDataFile) {
  publish(0);
  std::atomic<bool> done{false};
  std::vector<ReaderCounts> counts(kReaders);
  std::vector<std::thread> readers;
  for (ReaderCounts& mine : counts) readers.emplace_back(ReadUntil, std::cref(done), std::cref(dataFile_), std::ref(mine));

  int publishes = 0;
  const auto end = std::chrono::steady_clock::now() + kPublishing;
  while (std::chrono::steady_clock::now() < end) publish(++publishes);
  done = true;
  for (std::thread& reader : readers) reader.join();

  ReaderCounts total;
  for (const ReaderCounts& c : counts) {
    total.reads += c.reads;
    total.missing += c.missing;
    total.incomplete += c.incomplete;
  }
  std::printf("readers during publishing: %d readers, %d publishes, %ld reads, %ld failures (%ld missing, %ld incomplete)\n",
              kReaders, publishes, total.reads, total.missing + total.incomplete, total.missing, total.incomplete);
  RecordProperty("publishes", publishes);
  RecordProperty("reads", static_cast<int>(total.reads));
  EXPECT_EQ(total.missing, 0) << "reads that found no data file";
  EXPECT_EQ(total.incomplete, 0) << "reads that found a partial data file";
  EXPECT_GT(publishes, 1);
  EXPECT_GT(total.reads, publishes);
  EXPECT_EQ(platform_.events, publishes + 1) << "one success event per publish, no failure";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ + "/data"), fs::directory_iterator()), 2)
      << "the data file and the newest set-aside copy";
}

}  // namespace
}  // namespace rulo::test
