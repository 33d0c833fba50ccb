// The console a player opens over the demo: keys, commands, the log lines it
// shows, and what it draws over the picture and puts back.
#include "shell/live_console.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/user_warning.h"
#include "image/file_bytes.h"
#include "input/keyboard.h"
#include "shell/player_keys.h"
#include "support.h"

namespace {

// A key message as the window sends it: the set-1 scan code in bits 16-23, bit
// 24 for extended keys, bit 30 for a repeat.
LPARAM Flags(uint8_t dik, bool repeat = false) {
  LPARAM l = 1 | LPARAM(dik & 0x7F) << 16;
  if (dik & 0x80) l |= LPARAM(1) << 24;
  if (repeat) l |= LPARAM(1) << 30;
  return l;
}

constexpr uint8_t kGrave = 0x29, kT = 0x14, kI = 0x17, kM = 0x32, kE = 0x12, kSpace = 0x39, kDigit1 = 0x02,
                  kPageUp = 0xC9;

class LiveConsoleTest : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    SetDataDirectory(test::DataPath("").string());
    live.SetActions(Actions());
  }
  void TearDown() override {
    live.Free();
    FreeFonts();
    SetDataDirectory("");
    test::DisplayTest::TearDown();
  }
  ConsoleActions Actions() {
    ConsoleActions a;
    a.demo_time = [] { return DWORD(40123); };
    a.frames = [] { return DWORD(2407); };
    a.go_to = [this](DWORD ms, std::string&) {
      went_to = long(ms);
      return true;
    };
    a.toggle_pause = [] { return std::string("paused"); };
    a.quit = [this] { quit = true; };
    return a;
  }
  void Press(uint8_t dik, bool repeat = false) {
    live.OnKey(WM_KEYDOWN, 0, Flags(dik, repeat));
    live.OnKey(WM_KEYUP, 0, Flags(dik) | LPARAM(3) << 30);
  }
  // Types with the keys of the letters and digits used here.
  void Type(const std::string& text) {
    static const std::map<char, uint8_t> keys = {
        {'a', 0x1E}, {'c', 0x2E}, {'e', 0x12}, {'f', 0x21}, {'g', 0x22}, {'h', 0x23}, {'i', 0x17}, {'l', 0x26},
        {'m', 0x32}, {'n', 0x31}, {'o', 0x18}, {'p', 0x19}, {'q', 0x10}, {'s', 0x1F}, {'t', 0x14}, {'u', 0x16},
        {'x', 0x2D}, {'z', 0x2C}, {' ', 0x39}, {'0', 0x0B}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05},
        {'5', 0x06}, {'6', 0x07}, {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'.', 0x34}};
    for (char c : text) Press(keys.at(c));
  }
  std::string Last() { return live.Lines(1).at(0); }

  LiveConsole live;
  long went_to = -1;
  bool quit = false;
};

TEST_F(LiveConsoleTest, TheKeyUnderEscapeOpensItThenKeysGoToItAndEscapeClosesIt) {
  EXPECT_FALSE(live.OnKey(WM_KEYDOWN, 0, Flags(kT)));  // closed: the demo's key
  EXPECT_TRUE(live.OnKey(WM_KEYDOWN, 0, Flags(kGrave)));
  EXPECT_TRUE(live.IsOpen());
  EXPECT_TRUE(TextInput());  // P types rather than pausing
  EXPECT_TRUE(live.OnKey(WM_KEYDOWN, 0, Flags(DIK_ESCAPE)));
  EXPECT_FALSE(live.IsOpen());
  EXPECT_FALSE(TextInput());
  // The next Escape is the demo's again.
  EXPECT_FALSE(live.OnKey(WM_KEYDOWN, 0, Flags(DIK_ESCAPE)));
  // A held key's repeats do not open and close it over and over.
  live.OnKey(WM_KEYDOWN, 0, Flags(kGrave));
  live.OnKey(WM_KEYDOWN, 0, Flags(kGrave, true));
  EXPECT_TRUE(live.IsOpen());
}

TEST_F(LiveConsoleTest, TypedCommandsAreAnsweredBelowTheirLine) {
  Press(kGrave);
  Type("time");
  Press(DIK_RETURN);
  std::vector<std::string> lines = live.Lines(2);
  EXPECT_EQ(lines[0], "> time");
  EXPECT_EQ(lines[1], "demo time 40123 ms, frame 2407");

  Type("goto 70000");
  Press(DIK_RETURN);
  EXPECT_EQ(went_to, 70000);
  EXPECT_EQ(Last(), "going to 70000 ms");
  for (const char* bad : {"goto 106001", "goto", "goto 7x", "goto -5"}) {
    went_to = -1;
    live.Run(bad);
    EXPECT_EQ(Last(), "goto needs a demo time from 0 to 106000 ms") << bad;
    EXPECT_EQ(went_to, -1) << bad;
  }
  live.Run("pause");
  EXPECT_EQ(Last(), "paused");
  live.Run("frobnicate 3");
  EXPECT_EQ(Last(), "unknown command 'frobnicate 3': try help");
  live.Run("help");
  EXPECT_EQ(live.Lines(15).front(), "> help");
  live.Run("quit");
  EXPECT_TRUE(quit);
}

TEST_F(LiveConsoleTest, ShiftedAndEditedKeysFollowTheKeyMap) {
  Press(kGrave);
  live.OnKey(WM_KEYDOWN, 0, Flags(DIK_LSHIFT));
  Press(kDigit1);  // Shift+1 is !
  Press(kT);
  live.OnKey(WM_KEYUP, 0, Flags(DIK_LSHIFT));
  Press(kI);
  Press(kM);
  Press(DIK_BACK);
  Press(kE);
  Press(DIK_RETURN);
  EXPECT_EQ(live.Lines(2)[0], "> !Tie");
}

TEST_F(LiveConsoleTest, UpAndDownWalkTheHistoryNewestFirst) {
  Press(kGrave);
  for (const char* c : {"time", "fps"}) {
    Type(c);
    Press(DIK_RETURN);
  }
  Press(DIK_UP);
  Press(DIK_RETURN);
  EXPECT_EQ(live.Lines(2)[0], "> fps");
  Press(DIK_UP);
  Press(DIK_UP);
  Press(DIK_UP);
  Press(DIK_RETURN);  // three back: past the two fps
  EXPECT_EQ(live.Lines(2)[0], "> time");
  Press(DIK_UP);
  Press(DIK_DOWN);
  Press(DIK_DOWN);  // past the newest: an empty line again
  Type("time");
  Press(DIK_RETURN);
  EXPECT_EQ(live.Lines(2)[0], "> time");
}

// By default only the main channel shows, beside the answers and warnings.
TEST_F(LiveConsoleTest, LogLinesShowWithTheirChannelWhenTheChannelIsOn) {
  live.Log("main", "started");
  EXPECT_EQ(Last(), "main: started");
  live.Log("2d", "bitmap 94349438725976 create");
  EXPECT_EQ(Last(), "main: started");
  live.Warn("data/fonts.def: truncated file");
  EXPECT_EQ(Last(), "warning: data/fonts.def: truncated file");
  live.Run("log efect on");
  EXPECT_EQ(Last(), "efect lines shown");
  live.Log("efect", "OK twirl");
  EXPECT_EQ(Last(), "efect: OK twirl");
  live.Run("log all off");
  live.Log("efect", "OK bump");
  live.Log("main", "stopped");
  EXPECT_EQ(Last(), "all lines hidden");
  live.Run("log all on");
  live.Log("dx", "OK DxInit");
  EXPECT_EQ(Last(), "dx: OK DxInit");
  live.Run("log nosuch on");
  EXPECT_EQ(live.Lines(2)[0], "log needs a channel (or all) and on or off; channels:");
}

TEST_F(LiveConsoleTest, TheLogEchoReachesItWholeLinesAtATime) {
  logfile channel;
  channel.open("title\n", "log/x.log", "apu", nullptr);
  logging::SetEcho([this](const char* ch, const std::string& line) { live.Log(ch, line); });
  live.Run("log apu on");
  channel.print("InitSound()...");
  channel.status("OK", "step %d", 3);
  channel.write("raw\ntext\n");
  logging::SetEcho(nullptr);
  std::vector<std::string> lines = live.Lines(3);
  EXPECT_EQ(lines[0], "apu: InitSound()...OK step 3");
  EXPECT_EQ(lines[1], "apu: raw");
  EXPECT_EQ(lines[2], "apu: text");
  EXPECT_FALSE(std::filesystem::exists("log/x.log"));  // files stay off without --log
}

// At 320 x 200 the window is the top half in 8 x 8 cells; the backdrop shows
// around the glyphs, the demo's picture is put back afterwards, and drawing the
// console logs nothing into itself.
TEST_F(LiveConsoleTest, DrawsOverTheTopHalfAndPutsThePictureBack) {
  OpenDisplay(320, 200, 32);
  bitmap frame;
  ASSERT_TRUE(frame.create(320, 200));
  test::FillPattern(frame, 7);
  std::vector<DWORD> before;
  for (int y = 0; y < 200; y += 3)
    for (int x = 0; x < 320; x += 5) before.push_back(test::PixelAt(frame, x, y));

  Press(kGrave);
  live.Run("time");
  live.DrawOver(frame);
  EXPECT_EQ(live.Columns(), 40);
  EXPECT_EQ(live.Rows(), 12);
  const size_t lines_after_first = live.Lines(100000).size();
  live.Restore(frame);
  live.DrawOver(frame);  // a second frame adds no lines of its own
  EXPECT_EQ(live.Lines(100000).size(), lines_after_first);
  // The backdrop's blue at the window's right end (no text there), the picture
  // below the window untouched.
  const DWORD backdrop = test::PixelAt(frame, 316, 40);
  EXPECT_GT(backdrop & 0xFF, 2 * ((backdrop >> 8) & 0xFF)) << std::hex << backdrop;  // deep blue
  EXPECT_LT(backdrop & 0xFF, 0x60u) << std::hex << backdrop;
  EXPECT_EQ(test::PixelAt(frame, 100, 150), before[size_t(150 / 3) * 64 + 100 / 5]);
  // Some pixel of the last text row, where the prompt stands, is the glyphs' white.
  bool white = false;
  for (int x = 0; x < 16 && !white; ++x)
    for (int y = 88; y < 96 && !white; ++y) white = test::PixelAt(frame, x, y) == 0xFFFFFF;
  EXPECT_TRUE(white);

  live.Restore(frame);
  size_t i = 0;
  for (int y = 0; y < 200; y += 3)
    for (int x = 0; x < 320; x += 5) ASSERT_EQ(test::PixelAt(frame, x, y), before[i++]) << x << "," << y;
}

TEST_F(LiveConsoleTest, LongLinesWrapAndPageUpScrollsBack) {
  OpenDisplay(320, 200, 32);
  bitmap frame;
  ASSERT_TRUE(frame.create(320, 200));
  Press(kGrave);
  live.DrawOver(frame);
  // Rows of 40 break at the last space that fits; a word longer than a row is cut.
  live.Log("main", std::string(70, 'x'));
  std::vector<std::string> lines = live.Lines(3);
  EXPECT_EQ(lines[0], "main:");
  EXPECT_EQ(lines[1], std::string(40, 'x'));
  EXPECT_EQ(lines[2], std::string(30, 'x'));
  const std::string sentence = "the frames are exact and the music heard follows the picture it belongs to";
  live.Log("main", sentence);
  std::string joined;
  for (const std::string& row : live.Lines(2)) {  // 80 characters in two rows
    EXPECT_LE(row.size(), 40u) << row;
    EXPECT_NE(row.back(), ' ') << row;
    joined += (joined.empty() ? "" : " ") + row;
  }
  EXPECT_EQ(joined, "main: " + sentence);
  live.Run("help");
  for (const std::string& row : live.Lines(12)) EXPECT_LE(row.size(), 40u) << row;
  EXPECT_EQ(live.Lines(1)[0], "Esc closes");
  for (int i = 0; i < 30; ++i) live.Log("main", "line " + std::to_string(i));
  auto window = [&] {
    std::vector<DWORD> p;
    for (int y = 0; y < 88; ++y)
      for (int x = 0; x < 96; ++x) p.push_back(test::PixelAt(frame, x, y));
    return p;
  };
  live.DrawOver(frame);
  const std::vector<DWORD> newest = window();
  live.Restore(frame);
  Press(kPageUp);
  live.DrawOver(frame);
  EXPECT_NE(window(), newest);
  live.Restore(frame);
  Press(DIK_RETURN);  // a command brings the newest lines back
  live.Log("main", "line 29");
  live.DrawOver(frame);
  std::vector<DWORD> again = window();
  EXPECT_NE(again, newest);  // "> " and the repeated line moved everything up
  live.Restore(frame);
}

TEST_F(LiveConsoleTest, KeepsABoundedBacklogInItsLinesAndInTheEnginesCon) {
  OpenDisplay(320, 200, 32);
  bitmap frame;
  ASSERT_TRUE(frame.create(320, 200));
  Press(kGrave);
  live.DrawOver(frame);  // lays it out: its con exists from here on
  live.Restore(frame);
  constexpr int kWritten = 3 * LiveConsole::kBacklogLines;
  for (int i = 0; i < kWritten; ++i) live.Log("main", "line " + std::to_string(i));
  const con* text = get_con("live");
  ASSERT_NE(text, nullptr);
  EXPECT_LE(text->line_count, LiveConsole::kBacklogLines + 256);
  EXPECT_EQ(text->line_count, list_count(text->lines));
  EXPECT_EQ(live.Lines(kWritten).size(), size_t(LiveConsole::kBacklogLines));
  EXPECT_EQ(Last(), "main: line " + std::to_string(kWritten - 1));
}

// A damaged font never lets the console open; the key says why, once, naming
// the file at fault.
TEST_F(LiveConsoleTest, ADamagedFontIsNamedInOneLineWhenTheKeyIsPressed) {
  struct Damage {
    const char* file;
    const char* bytes;
    const char* said;
  } const cases[] = {
      {"fonts-small.def", "[font]\n0 = console\n[console]\nx = 8\n", "data/fonts-small.def: names no font"},
      {"console8x8.bmp", "BM junk", "data/console8x8.bmp: "},
  };
  OpenDisplay(320, 200, 32);
  for (const Damage& d : cases) {
    test::TempDir data;
    std::filesystem::copy(test::DataPath(""), data.path());
    { std::ofstream(data.path() / d.file, std::ios::binary) << d.bytes; }
    SetDataDirectory(data.path().string());
    ResetUserWarnings();
    bitmap frame;
    ASSERT_TRUE(frame.create(320, 200));
    testing::internal::CaptureStderr();
    Press(kGrave);
    for (int i = 0; i < 3; ++i) live.DrawOver(frame);  // every frame tries again
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(d.said), std::string::npos) << said;
    Press(DIK_ESCAPE);
    live.Free();
    FreeFonts();
  }
}

TEST_F(LiveConsoleTest, ShotSavesTheNextPictureWithoutTheConsole) {
  test::TempDir dir;
  OpenDisplay(320, 200, 32);
  bitmap picture;
  ASSERT_TRUE(picture.create(320, 200));
  picture.clear(0x00FF00);
  Press(kGrave);
  live.Run("shot nosuchdir/a.png");
  EXPECT_EQ(Last().rfind("shot: ", 0), 0u) << Last();
  live.Run("shot a.png");
  live.NoteFrame(picture);
  EXPECT_EQ(Last().rfind("saved ", 0), 0u) << Last();
  ASSERT_TRUE(std::filesystem::exists("a.png"));
  std::vector<uint8_t> bytes;
  std::string why;
  ASSERT_TRUE(ReadFileBytes("a.png", bytes, 1 << 20, why));
  EXPECT_EQ(bytes[1], 'P');
}

}  // namespace
