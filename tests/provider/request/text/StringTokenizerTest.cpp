#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "provider/request/text/StringTokenizer.h"

namespace qrv::cim {
namespace {

using Pieces = std::vector<std::string>;

Pieces pieces(std::string_view source, const std::string& delimiters, TokenizerMode mode) {
  Pieces result;
  StringTokenizer tokenizer(source, delimiters, mode);
  while (tokenizer.hasMore()) result.emplace_back(tokenizer.next());
  return result;
}

TEST(StringTokenizer, NSeparatorsGiveNPlusOnePieces) {
  EXPECT_EQ(pieces("a;b\nc", ";\n", TokenizerMode::AnyOf), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(pieces(";a;", ";", TokenizerMode::AnyOf), (Pieces{"", "a", ""}));
  EXPECT_EQ(pieces("xinstance ofyinstance", "instance of", TokenizerMode::WholeString), (Pieces{"x", "yinstance"}));
  EXPECT_EQ(pieces("abab", "ab", TokenizerMode::WholeString), (Pieces{"", "", ""}));
  EXPECT_TRUE(pieces("", ";", TokenizerMode::AnyOf).empty());
  EXPECT_TRUE(pieces("abc", "", TokenizerMode::WholeString).empty());
}

}  // namespace
}  // namespace qrv::cim
