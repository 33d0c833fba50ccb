#include <cstring>

#include "host/frame_pump.h"
#include "image/png_writer.h"
#include "input/keyboard.h"
#include "shell/frame_capture.h"
#include "support.h"
#include "text/bmpfont.h"
#include "text/commandlist.h"
#include "text/con.h"
#include "text/console.h"
#include "text/keymap.h"
#include "text/line_list.h"

namespace {

char* Text(const char* s) {
  char* c = new char[std::strlen(s) + 1];
  std::strcpy(c, s);
  return c;
}

TEST(LineList, PushGetAndFreeFromTheMiddle) {
  listnode* list = nullptr;
  int32_t size = -1;
  EXPECT_EQ(list_get(list, &size, 0), nullptr);
  EXPECT_EQ(size, -1);
  list = list_push(list, Text("A"), 1);
  listnode* middle = list = list_push(list, Text("B"), 1);
  list = list_push(list, Text("C"), 1);
  EXPECT_STREQ(static_cast<char*>(list_get(list, &size, 0)), "C");
  EXPECT_STREQ(static_cast<char*>(list_get(list, &size, 2)), "A");
  EXPECT_EQ(list_get(list, &size, 3), nullptr);
  EXPECT_STREQ(static_cast<char*>(list_get(middle, &size, -1)), "C");
  EXPECT_EQ(list_count(list), 3);
  list_free(middle);  // the whole list goes (the sanitizer checks nothing leaks)
}

TEST(Keymap, LevelsAndKeys) {
  EXPECT_EQ(keymap[256 + 0x03], '"');   // Shift 2
  EXPECT_EQ(keymap[512 + 0x03], '@');   // Alt 2
  EXPECT_EQ(keymap[512 + 0x10], 0xFF);  // Alt Q
  EXPECT_EQ(keymap[0x1A], 0xE5);        // å
  EXPECT_EQ(keymap[256 + 0x27], 0xD6);  // Ö
  EXPECT_EQ(keymap[0x4F], '1');
  EXPECT_EQ(keymap[256 + 0x4F], '1');  // keypad alike with Shift
  EXPECT_EQ(keymap[0x53], ',');
  EXPECT_EQ(keymap[256 + 0x53], 0xFF);  // keypad decimal only unshifted
  EXPECT_EQ(keymap[0x01], 0xFF);        // Escape gives nothing
  uint8_t keys[256] = {};
  keys[0x2A] = 0x80;
  EXPECT_EQ(keymap_level(keys), 1);
  keys[0xB8] = 0x80;
  EXPECT_EQ(keymap_level(keys), 2);  // Alt wins over Shift
}

TEST(CommandList, VisibleFormsHistoryAndGrowth) {
  commandlist c;
  ASSERT_TRUE(c.set_width(5));
  for (char ch : std::string("abcde")) c.add_char(ch);
  EXPECT_STREQ(c.visible_text(), "abcde");
  for (char ch : std::string("fgh")) c.add_char(ch);
  EXPECT_STREQ(c.visible_text(), "<efgh");
  EXPECT_EQ(c.capacity, 11);  // grown 10 past the length first asked for
  for (char ch : std::string("xyz")) c.add_char(ch);
  EXPECT_EQ(c.capacity, 21);
  c.del_chars(3);
  c.del_chars(100);  // more than the line: nothing removed
  EXPECT_STREQ(c.currcommand, "abcdefgh");
  char* done = c.get_command();
  EXPECT_STREQ(done, "abcdefgh");
  EXPECT_STREQ(c.currcommand, "");
  EXPECT_STREQ(c.visible_text(), "");
  c.del_chars(1);
  EXPECT_STREQ(c.currcommand, "");
  EXPECT_TRUE(c.copy_line(0));
  EXPECT_STREQ(c.currcommand, "abcdefgh");
  EXPECT_FALSE(c.copy_line(1));
  EXPECT_FALSE(c.copy_prev());  // already as long as the latest command
  c.del_chars(8);
  EXPECT_TRUE(c.copy_prev());
  EXPECT_TRUE(c.copy_prev());
  EXPECT_STREQ(c.currcommand, "ab");
}

class Consoles : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    std::filesystem::current_path(test::DataPath("fonts.def").parent_path().parent_path());  // "data/..." resolves
    ASSERT_TRUE(LoadFonts("data/fonts.def"));
  }
  void TearDown() override {
    FreeFonts();
    test::DisplayTest::TearDown();
  }
  void Keys(std::initializer_list<uint8_t> held) {
    std::memset(g_KeyState, 0, sizeof g_KeyState);
    for (uint8_t k : held) g_KeyState[k] = 0x80;
  }
};

TEST_F(Consoles, FontStripCutsIntoNinetyEightKeyedGlyphs) {
  ASSERT_EQ(fontcount, 1);
  bmpfont& f = fonts[0];
  EXPECT_EQ(f.glyph_count, 98);
  EXPECT_STREQ(f.name, "data/console8x16");
  EXPECT_EQ(f.frame[0].colorkey[0], 0xFF00FFu);  // the magenta at (1, 1)
  EXPECT_EQ(f.frame[97].use_colorkey, 1);
  EXPECT_EQ(FindFont("data/console8x16"), &f);
  EXPECT_EQ(FindFont("other"), nullptr);
}

TEST_F(Consoles, TextDrawsGlyphsAndMeasuresItsBlock) {
  bitmap target;
  ASSERT_EQ(target.create(100, 60), 1);
  target.clear(0x203040);
  bmptext t;
  ASSERT_TRUE(t.set_font(&fonts[0]));
  ASSERT_TRUE(t.set_text("ab"));
  t.set_pos(10, 20);
  t.draw(target);
  EXPECT_EQ(t.area.left, 10);
  EXPECT_EQ(t.area.right, 26);
  EXPECT_EQ(t.area.bottom, 36);
  int lit = 0;
  for (int y = 20; y < 36; ++y)
    for (int x = 10; x < 26; ++x) lit += test::PixelAt(target, x, y) == 0xFFFFFFu;
  EXPECT_GT(lit, 15);
  EXPECT_EQ(test::PixelAt(target, 10, 20), 0x203040u);  // the key colour is transparent
  t.erase(target);
  for (int y = 20; y < 36; ++y)
    for (int x = 10; x < 26; ++x) ASSERT_EQ(test::PixelAt(target, x, y), 0x203040u);
  ASSERT_TRUE(t.set_text("abc\nde\nfghi"));
  t.draw(target);
  EXPECT_EQ(t.columns, 4);
  EXPECT_EQ(t.lines, 3);
}

TEST_F(Consoles, SpacesTabsAndCharactersWithoutGlyphs) {
  bitmap target;
  ASSERT_EQ(target.create(200, 20), 1);
  bmptext t;
  t.set_font(&fonts[0]);
  auto first_lit_column = [&]() {
    for (int x = 0; x < 200; ++x)
      for (int y = 0; y < 16; ++y)
        if (test::PixelAt(target, x, y)) return x;
    return -1;
  };
  t.set_text(" \t*I");  // one cell, four cells, nothing: the I starts at 5 cells
  t.draw(target);
  EXPECT_GE(first_lit_column(), 40);
  EXPECT_LT(first_lit_column(), 48);
  EXPECT_EQ(t.columns, 4);  // the asterisk still counts a cell
  for (unsigned char c : {0xE5, 0xE4, 0xD6, 0xA7, 0xA4, 0xA3}) EXPECT_NE(chtable[c], 0xFF) << int(c);
  for (unsigned char c : {0xF6, 0xC5, 0xC4}) EXPECT_EQ(chtable[c], 0xFF) << int(c);
}

TEST_F(Consoles, CreationFailuresLookupAndFonts) {
  con bad;
  EXPECT_FALSE(bad.create(nullptr, 10, 10));
  EXPECT_FALSE(bad.create("bad", 0, 10));
  EXPECT_FALSE(bad.create("bad", 10, 0));
  EXPECT_EQ(get_con("bad"), nullptr);
  con first, second;
  ASSERT_TRUE(first.create("twin", 20, 5));
  ASSERT_TRUE(second.create("twin", 20, 5));
  EXPECT_EQ(get_con("twin"), &second);  // newest first
  // Without a loaded font there is nothing to draw with.
  FreeFonts();
  EXPECT_FALSE(second.set_font("any"));
  ASSERT_TRUE(LoadFonts("data/fonts.def"));
  EXPECT_TRUE(second.set_font("any"));
  EXPECT_FALSE(second.set_font("any"));  // the buffer exists already
  {
    con gone;
    ASSERT_TRUE(gone.create("gone", 5, 5));
  }
  EXPECT_EQ(get_con("gone"), nullptr);  // a destroyed con leaves the list
}

TEST_F(Consoles, PrintingCountsLinesAndTheWindowShowsTheNewest) {
  con c;
  ASSERT_TRUE(c.create("log", 20, 4));
  c.print("one\ntwo\n");
  EXPECT_EQ(c.line_count, 2);
  c.print("%s", "");
  EXPECT_EQ(c.line_count, 3);
  char* window = nullptr;
  ASSERT_TRUE(c.get_visible(&window, 0));
  EXPECT_STREQ(window, "one\ntwo\n\n");  // fewer than height - 1: all of them
  c.print("three\nfour");
  ASSERT_TRUE(c.get_visible(&window, 0));
  EXPECT_STREQ(window, "\nthree\nfour\n");
  ASSERT_TRUE(c.get_visible(&window, 2));
  EXPECT_STREQ(window, "one\ntwo\n\n");
}

TEST_F(Consoles, ShiftAHeldForThreeCallsTypesAAA) {
  con c;
  ASSERT_TRUE(c.create("screen2", 30, 5));
  console k;
  ASSERT_TRUE(k.create("data/bios_pieni.bmp", "k", &c));
  Keys({DIK_LSHIFT, DIK_A});
  for (int i = 0; i < 3; ++i) k.input();
  EXPECT_STREQ(k.line.currcommand, "AAA");
}

TEST_F(Consoles, EnterUpAndDownWalkTheHistory) {
  con c;
  ASSERT_TRUE(c.create("screen3", 30, 5));
  console k;
  ASSERT_TRUE(k.create("data/bios_pieni.bmp", "k", &c));
  Keys({DIK_UP});
  k.input();  // no history: nothing changes
  EXPECT_EQ(g_nHistoryPosition, 0);
  EXPECT_STREQ(k.line.currcommand, "");
  Keys({DIK_RETURN});
  k.input();  // an empty line is a command too
  EXPECT_EQ(c.line_count, 1);
  for (const char* command : {"first", "second", "third"}) {
    k.line.add_text(command);
    Keys({DIK_RETURN});
    k.input();
  }
  EXPECT_EQ(g_nHistoryPosition, 0);
  Keys({DIK_UP});
  k.input();
  EXPECT_STREQ(k.line.currcommand, "second");  // position 1: the second newest
  Keys({DIK_DOWN});
  k.input();
  Keys({DIK_DOWN});
  k.input();
  EXPECT_STREQ(k.line.currcommand, "third");  // from position 0: the newest
}

TEST_F(Consoles, ASecondLoadIsRefusedAndConsolesKeepTheirFont) {
  con c;
  ASSERT_TRUE(c.create("kept", 20, 2));
  ASSERT_TRUE(c.set_font("console"));
  const int count = fontcount;
  EXPECT_FALSE(LoadFonts("data/fonts.def"));
  EXPECT_EQ(fontcount, count);
  c.print("still drawn");
  bitmap frame;
  ASSERT_EQ(frame.create(200, 40), 1);
  frame.clear(0);
  ASSERT_TRUE(c.draw_visible(frame, "", 0));  // reads the glyphs of the first load
  int lit = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) lit += test::PixelAt(frame, x, y) != 0;
  EXPECT_GT(lit, 50);
}

TEST_F(Consoles, LoadingAgainWorksAfterFreeFonts) {
  FreeFonts();
  EXPECT_TRUE(LoadFonts("data/fonts.def"));
  ASSERT_EQ(fontcount, 1);
  EXPECT_EQ(fonts[0].loaded, 1);
}

TEST_F(Consoles, AConsoleDrawnOverAFrameShowsItsText) {
  con c;
  ASSERT_TRUE(c.create("shown", 40, 6));
  ASSERT_TRUE(c.set_font("console"));
  c.print("Velmora console\nfonts: %d loaded\n\xE5\xE4\xD6 \xA7\xA4\xA3 {[()]}", fontcount);
  bitmap frame;
  ASSERT_EQ(frame.create(320, 96), 1);
  bitmap picture;
  ASSERT_EQ(picture.load("data/twirl.bmp"), 1);
  picture.blit(frame, nullptr, nullptr);
  ASSERT_TRUE(c.draw_visible(frame, "> type here_", 0));
  int white = 0;
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 320; ++x) white += test::PixelAt(frame, x, y) == 0xFFFFFFu;
  EXPECT_GT(white, 400);
  EXPECT_NE(test::PixelAt(frame, 319, 95), 0xFF00FFu);  // no key colour shows
  // Saved for a person to look at.
  ASSERT_EQ(frame.lock(), 0);
  host::PresentedFrame f{static_cast<const uint8_t*>(frame.desc.lpSurface), 320, 96, frame.desc.lPitch, 32};
  std::vector<uint8_t> rgb = FrameToRgb(f);
  frame.unlock();
  const char* out = std::getenv("VELMORA_CONSOLE_PNG");
  if (out) {
    EXPECT_TRUE(WritePngRgb(out, 320, 96, rgb.data()));
  }
}

}  // namespace
