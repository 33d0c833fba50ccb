#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/winmain.h"

namespace {

std::vector<std::string> Split(const char* text) {
  int count = -1;
  char** argv = CmdLineToArgv(text, &count);
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) {
    words.emplace_back(argv[i]);
    delete[] argv[i];
  }
  delete[] argv;
  return words;
}

using Words = std::vector<std::string>;

TEST(CmdLineToArgv, SingleSpacesGiveThreeWords) { EXPECT_EQ(Split("640 480 16"), (Words{"640", "480", "16"})); }

TEST(CmdLineToArgv, RepeatedLeadingAndTrailingSpacesGiveNoEmptyWords) {
  EXPECT_EQ(Split("  640   480 16  "), (Words{"640", "480", "16"}));
  EXPECT_EQ(Split("  640   480  "), (Words{"640", "480"}));
}

TEST(CmdLineToArgv, EmptyOrBlankLineGivesNoWords) {
  EXPECT_TRUE(Split("").empty());
  EXPECT_TRUE(Split("     ").empty());
  EXPECT_TRUE(Split(nullptr).empty());
}

TEST(CmdLineToArgv, TabsQuotesAndBackslashesAreOrdinaryCharacters) {
  EXPECT_EQ(Split("640\t480\t16"), (Words{"640\t480\t16"}));
  EXPECT_EQ(Split("\"a b\""), (Words{"\"a", "b\""}));
  EXPECT_EQ(Split("a\\ b"), (Words{"a\\", "b"}));
}

}  // namespace
