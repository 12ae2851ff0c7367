// Test main for programs whose code under test finds its files relative to
// the location of its own module: the program runs its tests from a copy of
// itself in a fresh root.

#include <gtest/gtest.h>

#include "tests/support/RelocatedCopy.h"
#include "tests/support/TempTree.h"

int main(int argc, char** argv) {
  if (qrv::test::relocatedRoot().empty()) return qrv::test::runRelocatedCopy(argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
