#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compat/com/DebugOutputApi.h"

namespace {

struct Received {
  std::vector<std::string> texts;
};

void keep(const char* text, void* context) { static_cast<Received*>(context)->texts.push_back(text); }

TEST(DebugOutput, ALineReachesTheListenerOnlyWhileItIsInstalled) {
  Received received;
  EXPECT_EQ(IsDebuggerPresent(), FALSE);
  OutputDebugStringA("before\n");
  SetDebugOutputListener(&keep, &received);
  EXPECT_EQ(IsDebuggerPresent(), TRUE);
  OutputDebugStringA("one\n");
  OutputDebugStringA(nullptr);
  OutputDebugStringA("two");
  SetDebugOutputListener(nullptr, nullptr);
  EXPECT_EQ(IsDebuggerPresent(), FALSE);
  OutputDebugStringA("after\n");
  EXPECT_EQ(received.texts, (std::vector<std::string>{"one\n", "two"}));
}

TEST(DebugOutput, ANewListenerReplacesTheOldOne) {
  Received first;
  Received second;
  SetDebugOutputListener(&keep, &first);
  SetDebugOutputListener(&keep, &second);
  OutputDebugStringA("line");
  SetDebugOutputListener(nullptr, nullptr);
  EXPECT_TRUE(first.texts.empty());
  EXPECT_EQ(second.texts, (std::vector<std::string>{"line"}));
}

}  // namespace
