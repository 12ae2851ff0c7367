#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "provider/request/document/HostName.h"

namespace qrv::cim {
namespace {

TEST(HostName, ConcurrentFirstCallsAllSeeTheSameCompleteName) {
  std::vector<std::string> names(8);
  std::vector<std::thread> threads;
  for (auto& name : names) threads.emplace_back([&name] { name = hostName(); });
  for (auto& thread : threads) thread.join();
  EXPECT_FALSE(names.front().empty());
  for (const auto& name : names) EXPECT_EQ(name, names.front());
}

}  // namespace
}  // namespace qrv::cim
