#include "host/cim/RepositoryContents.h"

#include <vector>

namespace wmihost {

namespace {

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

}  // namespace

std::string repositoryContents(const ClassRepository& repository) {
  const std::vector<std::string>& empty = repository.foldersWithoutMof();
  std::string text = repository.files().empty() ? "" : "read: " + joined(repository.files());
  if (!empty.empty()) {
    text += (text.empty() ? "" : "; ") + std::string(empty.size() == 1 ? "the folder " : "the folders ") +
            joined(empty) + (empty.size() == 1 ? " holds" : " hold") + " no MOF file";
  }
  return text.empty() ? "no --repository given" : text;
}

}  // namespace wmihost
