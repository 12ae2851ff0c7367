// The distance between a misspelt name and the name meant.

#include "host/check/EditDistance.h"

#include <gtest/gtest.h>

namespace wmihost {
namespace {

TEST(EditDistance, CountsInsertionsDeletionsSubstitutionsAndSwaps) {
  EXPECT_EQ(editDistance("Enumerate", "Enumerate"), 0u);
  EXPECT_EQ(editDistance("Enumarate", "Enumerate"), 1u);  // a substitution
  EXPECT_EQ(editDistance("Enumrate", "Enumerate"), 1u);   // a deletion
  EXPECT_EQ(editDistance("Enumerrate", "Enumerate"), 1u); // an insertion
  EXPECT_EQ(editDistance("Gte", "Get"), 1u);              // two neighbours swapped
  EXPECT_EQ(editDistance("enumerate", "Enumerate"), 1u);  // case counts
  EXPECT_EQ(editDistance("", "Get"), 3u);
  EXPECT_EQ(editDistance("Get", ""), 3u);
  EXPECT_EQ(editDistance("Class", "Conversion"), 8u);
  EXPECT_EQ(editDistance("alt_name", "alt-name"), 1u);
}

TEST(EditDistance, IsTheSameBothWays) {
  for (const auto& [a, b] : {std::pair{"FileProvider", "FilePrvoider"}, {"AssociationClass", "Associations"},
                             {"valueonly", "valueOnly"}, {"ab", "ba"}}) {
    EXPECT_EQ(editDistance(a, b), editDistance(b, a)) << a << " " << b;
  }
}

}  // namespace
}  // namespace wmihost
