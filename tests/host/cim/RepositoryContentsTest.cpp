// What a class repository was read from, as the message that a class is not
// in it names it: the files read, and each folder given that held no MOF file.

#include "host/cim/RepositoryContents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TempTree.h"

namespace wmihost::test {
namespace {

class RepositoryContentsTest : public ::testing::Test {
 protected:
  void TearDown() override { qrv::test::removeTree(root_); }

  std::string folder(const std::string& name) {
    const std::string path = root_ + "/" + name;
    std::filesystem::create_directory(path);
    return path;
  }

  std::string root_ = qrv::test::makeTempDir("wmihost-contents");
};

TEST_F(RepositoryContentsTest, NothingGivenSaysSo) {
  EXPECT_EQ(repositoryContents(ClassRepository()), "no --repository given");
}

TEST_F(RepositoryContentsTest, AFolderWithoutMofFilesIsNamed) {
  const std::string empty = folder("empty");
  qrv::test::writeFile(empty + "/notes.txt", "class A { string B; };");
  ClassRepository repository;
  repository.load(empty);
  EXPECT_EQ(repositoryContents(repository), "the folder " + empty + " holds no MOF file");
}

TEST_F(RepositoryContentsTest, FilesReadComeFirstThenEveryFolderWithoutMofFiles) {
  const std::string classes = folder("classes");
  qrv::test::writeFile(classes + "/a.mof", "class A { string B; };");
  const std::string first = folder("first");
  const std::string second = folder("second");
  ClassRepository repository;
  repository.load(first);
  repository.load(classes);
  repository.load(second);
  EXPECT_EQ(repositoryContents(repository),
            "read: " + classes + "/a.mof; the folders " + first + ", " + second + " hold no MOF file");
}

}  // namespace
}  // namespace wmihost::test
