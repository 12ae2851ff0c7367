// The blocks of instances come from a pool that keeps them for the next
// request: copies and moves must keep their properties wherever they lie.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "provider/request/model/ParsedInstance.h"

namespace qrv::cim {
namespace {

TEST(ParsedInstance, CopiesAndMovesKeepTheirPropertiesWhereverTheirBlocksLie) {
  std::vector<ParsedInstance> instances;
  for (int i = 0; i < 1000; ++i) {
    instances.push_back({{"Name", "item " + std::to_string(i)}, {"Id", std::to_string(i)}});
  }
  const ParsedInstance copy = instances[7];
  ParsedInstance moved = std::move(instances[8]);
  instances.clear();  // their blocks go back to the pool, and are taken again
  for (int i = 0; i < 1000; ++i) instances.push_back({{"Other", "x"}});

  EXPECT_EQ(copy.at("Name"), "item 7");
  EXPECT_EQ(moved.at("Id"), "8");
  moved = copy;
  EXPECT_EQ(moved, copy);
  std::vector<ParsedInstance::Property> more{{"Name", "ignored"}, {"Extra", "added"}};
  moved.add(more);
  EXPECT_EQ(moved.at("Name"), "item 7");
  EXPECT_EQ(moved.at("Extra"), "added");
  EXPECT_EQ(moved.size(), 3u);
}

}  // namespace
}  // namespace qrv::cim
