#include "text/cfg_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support.h"

namespace {

CfgFile Parse(const std::string& text, bool* ok = nullptr) {
  CfgFile doc;
  bool r = ParseCfg(reinterpret_cast<const uint8_t*>(text.data()), text.size(), doc);
  if (ok) *ok = r;
  return doc;
}

const std::string kExample =
    "[font]\n"
    "0 = big\n"
    "\n"
    "[big]\n"
    "# the large letters\n"
    "file = data/big.bmp\n"
    "x = 16\n"
    "y = 16\n";

TEST(CfgFile, MissingFileIsRefusedAndNotCreated) {
  test::TempDir dir;
  CfgFile doc;
  EXPECT_FALSE(ReadCfgFile("absent.def", doc));
  EXPECT_FALSE(std::filesystem::exists("absent.def"));
}

TEST(CfgFile, EveryOpeningBracketNeedsALaterClosingOne) {
  bool ok = true;
  Parse("[a\nx = 1\n", &ok);
  EXPECT_FALSE(ok);
  Parse("[a\nx = 1\n# ] later\n", &ok);
  EXPECT_TRUE(ok);
}

TEST(CfgFile, ExampleFileReadsIntoItsSectionsAndComment) {
  CfgFile doc = Parse(kExample);
  ASSERT_EQ(doc.section_count, 2);
  EXPECT_EQ(doc.names[0], "font");
  EXPECT_EQ(doc.sections[0].count, 1);
  EXPECT_EQ(doc.sections[1].count, 3);
  EXPECT_STREQ(GetCfgValue(doc, "font", "0"), "big");
  EXPECT_STREQ(GetCfgValue(doc, "big", "file"), "data/big.bmp");
  EXPECT_STREQ(GetCfgValue(doc, "big", "y"), "16");
  EXPECT_EQ(GetCfgValue(doc, "big", "z"), nullptr);
  EXPECT_EQ(GetCfgValue(doc, "small", "x"), nullptr);
  ASSERT_EQ(doc.comment_count, 1);
  EXPECT_EQ(doc.comment_lines[0], "# the large letters");
  EXPECT_EQ(doc.comment_line_numbers[0], 4);
}

TEST(CfgFile, ReadAndWriteReproduceTheExampleLineForLine) {
  test::TempDir dir;
  std::ofstream("example.def") << kExample;
  CfgFile doc;
  ASSERT_TRUE(ReadCfgFile("example.def", doc));
  ASSERT_TRUE(WriteCfgFile("copy.def", doc));
  std::stringstream copy;
  copy << std::ifstream("copy.def").rdbuf();
  EXPECT_EQ(copy.str(), kExample);
  EXPECT_FALSE(std::filesystem::exists("copy.def.tmp"));
}

TEST(CfgFile, BracketInsideAValueReservesAnEmptySectionThatMatchesNothing) {
  CfgFile doc = Parse("[a]\nx = [1]\n\n[b]\ny = 2\n");
  EXPECT_EQ(doc.section_count, 3);
  EXPECT_STREQ(GetCfgValue(doc, "a", "x"), "[1]");
  EXPECT_STREQ(GetCfgValue(doc, "b", "y"), "2");
  EXPECT_EQ(GetCfgValue(doc, "", ""), nullptr);
  EXPECT_EQ(FormatCfg(doc), "[a]\nx = [1]\n\n[b]\ny = 2\n");  // the reserved section is not written
}

TEST(CfgFile, QuotedValuesKeepTheirSpacesUnquotedStopAtTheFirst) {
  CfgFile doc = Parse("[s]\na = \"two words\"\nb = two words\nc =\"two words\"\nd = \"open ended\n");
  EXPECT_STREQ(GetCfgValue(doc, "s", "a"), "two words");
  EXPECT_STREQ(GetCfgValue(doc, "s", "b"), "two");
  EXPECT_STREQ(GetCfgValue(doc, "s", "c"), "two words");
  EXPECT_STREQ(GetCfgValue(doc, "s", "d"), "open ended");
}

TEST(CfgFile, IndentedCommentsAndHeaders) {
  CfgFile doc = Parse("[s]\n   # indented comment\nk = v\n\n  [a]\nz = 1\n");
  EXPECT_EQ(doc.comment_count, 1);
  EXPECT_EQ(doc.comment_lines[0], "   # indented comment");
  EXPECT_EQ(doc.names[1], " [a");  // starts at the line's second character
  EXPECT_STREQ(GetCfgValue(doc, " [a", "z"), "1");
}

TEST(CfgFile, KeyWithoutEqualsAndTabsAsSpaces) {
  CfgFile doc = Parse("[s]\nsize\nk\t=\tv\n");
  EXPECT_STREQ(GetCfgValue(doc, "s", "size"), "");
  EXPECT_STREQ(GetCfgValue(doc, "s", "k"), "v");
}

TEST(CfgFile, SameNamedSectionsGetSearchesBothSetOnlyTheFirst) {
  CfgFile doc = Parse("[s]\na = 1\n\n[s]\nb = 2\n");
  EXPECT_STREQ(GetCfgValue(doc, "s", "b"), "2");
  EXPECT_FALSE(SetCfgValue(doc, "s", "b", "3"));
  EXPECT_TRUE(SetCfgValue(doc, "s", "a", "new value"));
  EXPECT_STREQ(GetCfgValue(doc, "s", "a"), "new value");
  EXPECT_FALSE(SetCfgValue(doc, "t", "a", "x"));
  EXPECT_EQ(FormatCfg(doc), "[s]\na = \"new value\"\n\n[s]\nb = 2\n");  // a space: written in quotes
}

TEST(CfgFile, ShortSectionsGrowAndStrayEntriesAreIgnored) {
  // An entry before any header; a header straight after an entry; no last line end.
  CfgFile doc = Parse("stray = 0\n[a]\nx = 1\n[b]\ny = 2\nz = 3");
  EXPECT_EQ(GetCfgValue(doc, "a", "stray"), nullptr);
  EXPECT_STREQ(GetCfgValue(doc, "a", "x"), "1");
  EXPECT_STREQ(GetCfgValue(doc, "b", "y"), "2");
  EXPECT_STREQ(GetCfgValue(doc, "b", "z"), "3");
}

TEST(CfgFile, OverlongFieldsAreCut) {
  const std::string key(80, 'k'), value(80, 'v');
  CfgFile doc = Parse("[" + std::string(70, 'n') + "]\n" + key + " = " + value + "\n");
  EXPECT_EQ(doc.names[0].size(), 63u);
  ASSERT_EQ(doc.sections[0].keys.size(), 1u);
  EXPECT_EQ(doc.sections[0].keys[0].size(), 63u);
  EXPECT_LE(doc.sections[0].values[0].size(), 63u);
  EXPECT_TRUE(SetCfgValue(doc, doc.names[0].c_str(), doc.sections[0].keys[0].c_str(), std::string(90, 'x').c_str()));
  EXPECT_EQ(doc.sections[0].values[0].size(), 63u);
}

TEST(CfgFile, AReadOnlyTargetStaysUnwritten) {
  test::TempDir dir;
  std::ofstream("keep.def") << kExample;
  std::filesystem::permissions("keep.def", std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  CfgFile doc = Parse("[x]\ny = 1\n");
  EXPECT_FALSE(WriteCfgFile("keep.def", doc));
  std::stringstream old;
  old << std::ifstream("keep.def").rdbuf();
  EXPECT_EQ(old.str(), kExample);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);  // no temporary left
}

TEST(CfgFile, WritingLeavesAFileNamedLikeTheTemporaryAlone) {
  test::TempDir dir;
  std::ofstream("keep.def.tmp") << "mine";
  ASSERT_TRUE(WriteCfgFile("keep.def", Parse(kExample)));
  std::stringstream mine, written;
  mine << std::ifstream("keep.def.tmp").rdbuf();
  written << std::ifstream("keep.def").rdbuf();
  EXPECT_EQ(mine.str(), "mine");
  EXPECT_EQ(written.str(), kExample);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
}

TEST(CfgFile, CommentsAtTheEndSurviveAWrite) {
  const std::string after_blanks = kExample + "\n\n# the end\n";
  EXPECT_EQ(FormatCfg(Parse(after_blanks)), after_blanks);
  const std::string unterminated = kExample + "# no line end";
  EXPECT_EQ(FormatCfg(Parse(unterminated)), unterminated + "\n");
  // Between sections, after blank lines the writer does not keep: still there.
  const std::string between = "[a]\nk = v\n\n\n# about b\n[b]\nm = n\n";
  EXPECT_NE(FormatCfg(Parse(between)).find("# about b\n"), std::string::npos) << FormatCfg(Parse(between));
}

TEST(CfgFile, TextHelpers) {
  size_t at = 0;
  EXPECT_EQ(GetToken("  one  two", ' ', at), "one");
  EXPECT_EQ(GetToken("  one  two", ' ', at), "two");
  at = 1;
  EXPECT_EQ(GetBlock("{a{b}c}d", at), "a{b}c}");
  EXPECT_EQ(at, 7u);
  at = 0;
  EXPECT_TRUE(FindInString("find the needle here", "needle", at));
  EXPECT_EQ(at, 15u);
  EXPECT_FALSE(FindInString("no match", "needle", at));
  const std::string text = "ab\ncd needle\nx";
  CfgStream in{reinterpret_cast<const uint8_t*>(text.data()), text.size()};
  int32_t lines = 0;
  EXPECT_TRUE(FindInStream(in, "needle", lines));
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(in.position, 12u);
  CfgStream tokens{reinterpret_cast<const uint8_t*>("a\tb\nc"), 5};
  lines = 0;
  EXPECT_EQ(ReadToken(tokens, '\n', lines), "a b");
  EXPECT_EQ(lines, 1);
}

}  // namespace
