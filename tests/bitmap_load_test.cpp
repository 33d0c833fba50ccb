#include "gfx/bitmap_load.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/logfile.h"
#include "gfx/frame_sequence.h"
#include "gfx/gdi_helpers.h"
#include "image/file_bytes.h"
#include "image/pcx_decoder.h"
#include "support.h"
#include "winapi/testing.h"

namespace {

// A PCX file: header, the given run-length data, a 0x0C marker and a palette whose
// entry i is (i, 255 - i, i / 2).
std::vector<uint8_t> Pcx(int xmin, int ymin, int xmax, int ymax, int planes, std::vector<uint8_t> data,
                         int bytes_per_line = 0, int encoding = 1, int bpp = 8) {
  std::vector<uint8_t> f(128, 0);
  f.reserve(128 + data.size() + 1 + 768);
  f[0] = 10, f[1] = 5, f[2] = uint8_t(encoding), f[3] = uint8_t(bpp);
  auto put16 = [&](size_t at, int v) { f[at] = uint8_t(v), f[at + 1] = uint8_t(v >> 8); };
  put16(4, xmin), put16(6, ymin), put16(8, xmax), put16(10, ymax);
  f[65] = uint8_t(planes);
  put16(66, bytes_per_line ? bytes_per_line : xmax - xmin + 1);
  f.insert(f.end(), data.begin(), data.end());
  f.push_back(0x0C);
  for (int i = 0; i < 256; ++i) f.insert(f.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  return f;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The pixel value a palette index of Pcx() gives: the entry's first byte lowest.
DWORD PaletteValue(int i) { return DWORD(i) + 256u * (255 - i) + 65536u * (i / 2); }

class PictureLoad : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
  }
  test::TempDir dir;
};

TEST_F(PictureLoad, RunLengthCodesAtTheirEdges) {
  // 0xC0 is the literal 192; 0xC1 0x07 is one 7; 0xFF 0x00 is 63 zeros.
  std::vector<uint8_t> data = {0xC0, 0xC1, 0x07, 0xFF, 0x00, 0x05};
  Write("runs.pcx", Pcx(0, 0, 65, 0, 1, data));
  bitmap b;
  ASSERT_EQ(b.load("runs.pcx"), 1);
  EXPECT_EQ(b.width, 66);
  EXPECT_EQ(test::PixelAt(b, 0, 0), PaletteValue(192));
  EXPECT_EQ(test::PixelAt(b, 1, 0), PaletteValue(7));
  for (int x = 2; x < 65; ++x) ASSERT_EQ(test::PixelAt(b, x, 0), PaletteValue(0)) << x;
  EXPECT_EQ(test::PixelAt(b, 65, 0), PaletteValue(5));
}

TEST(PcxRuns, ARunPastTheEndOfThePictureStopsAtItsLastByte) {
  // A run of five 7s for the last two bytes; the bytes after them are not the picture's.
  const uint8_t data[] = {0x01, 0xC5, 0x07};
  uint8_t out[6] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(DecodePcxRuns(data, sizeof data, 0, out, 3), 3u);
  const uint8_t expected[6] = {0x01, 0x07, 0x07, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(std::memcmp(out, expected, sizeof out), 0);
}

TEST_F(PictureLoad, SizeComesFromMinimumAndMaximumCorners) {
  Write("offset.pcx", Pcx(10, 20, 13, 22, 1, {0xCC, 0x80}));
  bitmap b;
  ASSERT_EQ(b.load("offset.pcx"), 1);
  EXPECT_EQ(b.width, 4);
  EXPECT_EQ(b.height, 3);
  EXPECT_EQ(test::PixelAt(b, 3, 2), PaletteValue(128));  // the second half of the palette
}

TEST_F(PictureLoad, RunsCrossRowsAndPixelsGoColumnByColumn) {
  Write("rows.pcx", Pcx(0, 0, 2, 1, 1, {0xC4, 0x09, 0x01, 0x02}));
  bitmap b;
  ASSERT_EQ(b.load("rows.pcx"), 1);
  EXPECT_EQ(test::PixelAt(b, 0, 1), PaletteValue(9));
  EXPECT_EQ(test::PixelAt(b, 1, 1), PaletteValue(1));
  EXPECT_EQ(test::PixelAt(b, 2, 1), PaletteValue(2));
}

TEST_F(PictureLoad, ThreePlanesGiveFirstPlaneLowest) {
  Write("rgb.pcx", Pcx(0, 0, 0, 0, 3, {0x10, 0x20, 0x30}));
  bitmap b;
  ASSERT_EQ(b.load("rgb.pcx"), 1);
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0x302010u);
}

TEST_F(PictureLoad, FourPlanesGiveABlackPictureOfTheRightSize) {
  Write("four.pcx", Pcx(0, 0, 4, 3, 4, {0xFF, 0x33}));
  bitmap b;
  ASSERT_EQ(b.load("four.pcx"), 1);
  EXPECT_EQ(b.width, 5);
  EXPECT_EQ(b.height, 4);
  EXPECT_EQ(b.loaded, 1);
  EXPECT_EQ(test::PixelAt(b, 2, 2), 0u);
}

TEST_F(PictureLoad, PaddedOddWidthRowsAreNotSheared) {
  // Width 3, rows padded to 4 bytes: the padding byte (0x55) must not shift row 1.
  Write("padded.pcx", Pcx(0, 0, 2, 1, 1, {1, 2, 3, 0x55, 4, 5, 6, 0x55}, 4));
  bitmap b;
  ASSERT_EQ(b.load("padded.pcx"), 1);
  EXPECT_EQ(test::PixelAt(b, 0, 1), PaletteValue(4));
  EXPECT_EQ(test::PixelAt(b, 2, 1), PaletteValue(6));
  Write("padded3.pcx", Pcx(0, 0, 2, 0, 3, {1, 2, 3, 0x55, 4, 5, 6, 0x55, 7, 8, 9, 0x55}, 4));
  bitmap c;
  ASSERT_EQ(c.load("padded3.pcx"), 1);
  EXPECT_EQ(test::PixelAt(c, 2, 0), 0x090603u);
}

TEST_F(PictureLoad, ShortFileLeavesUndecodedPixelsZero) {
  std::vector<uint8_t> f = Pcx(0, 0, 3, 0, 3, {0x11});
  f.resize(128 + 1);           // the picture stops after one byte...
  f.resize(128 + 768 + 1, 0);  // ...yet the file is long enough to hold a palette
  Write("short.pcx", f);
  bitmap b;
  ASSERT_EQ(b.load("short.pcx"), 1);
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0x11u);
  EXPECT_EQ(test::PixelAt(b, 3, 0), 0u);
}

TEST_F(PictureLoad, MalformedPcxFilesAreRefused) {
  bitmap b;
  Write("tiny.pcx", std::vector<uint8_t>(200, 0));
  EXPECT_EQ(b.load("tiny.pcx"), 0);
  EXPECT_FALSE(b.holds_surface());
  Write("rle.pcx", Pcx(0, 0, 1, 1, 1, {1}, 0, 0));
  EXPECT_EQ(b.load("rle.pcx"), 0);
  Write("bpp.pcx", Pcx(0, 0, 1, 1, 1, {1}, 0, 1, 4));
  b.width = 77;
  EXPECT_EQ(b.load("bpp.pcx"), 0);
  EXPECT_EQ(b.width, 77);  // a wrong depth leaves the size alone
  Write("huge.pcx", Pcx(0, 0, 65535, 65535, 1, {1}));
  EXPECT_EQ(b.load("huge.pcx"), 0);  // refused by the surface, never allocated
  EXPECT_EQ(b.width, 65536);
  Write("reversed.pcx", Pcx(10, 0, 2, 5, 1, {1}));
  EXPECT_EQ(b.load("reversed.pcx"), 0);
  EXPECT_EQ(b.load("missing.pcx"), 0);
}

TEST_F(PictureLoad, ExtensionsAreCaseSensitive) {
  Write("pic.pcx", Pcx(0, 0, 1, 1, 1, {1, 2, 3, 4}));
  std::filesystem::copy_file("pic.pcx", "pic.PCX");
  std::filesystem::copy_file(test::FixturePath("pictures/info24.bmp"), "pic.Bmp");
  bitmap b;
  EXPECT_EQ(b.load("pic.PCX"), 0);
  EXPECT_EQ(b.load("pic.Bmp"), 0);
  EXPECT_EQ(b.load("bmp"), 0);
  EXPECT_EQ(b.load("pic.pcx"), 1);
}

TEST_F(PictureLoad, LoadingIntoAFullBitmapIsRefused) {
  Write("a.pcx", Pcx(0, 0, 1, 1, 1, {1, 2, 3, 4}));
  bitmap b;
  ASSERT_EQ(b.create(5, 5), 1);
  EXPECT_EQ(b.load("a.pcx"), 0);
  EXPECT_EQ(b.width, 5);
  EXPECT_EQ(b.loaded, 0);
  EXPECT_STREQ(b.name, "");
}

// A BMP info header of the given size, depth and compression, then `pixels`.
std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, int bits, int compression, std::vector<uint8_t> pixels) {
  const int palette = bits <= 8 ? 4 << bits : 0;
  std::vector<uint8_t> f(54 + palette, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put32(10, uint32_t(54 + palette));
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  f[26] = 1, f[28] = uint8_t(bits);
  put32(30, uint32_t(compression));
  f.insert(f.end(), pixels.begin(), pixels.end());
  put32(2, uint32_t(f.size()));
  return f;
}

TEST_F(PictureLoad, HostilePicturesAreRefusedCheaply) {
  struct Hostile {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> pcx = Pcx(0, 0, 16383, 16383, 1, {0xFF, 0x01});
  pcx.resize(897, 0);
  const Hostile pictures[] = {
      // Run-length data of a few bytes cannot fill 67 million pixels.
      {"rle8.bmp", BmpHeader(8192, 8192, 8, 1, {0xFF, 1, 0, 0, 0, 1})},
      // Rows the file does not hold.
      {"plain24.bmp", BmpHeader(8192, 8192, 24, 0, std::vector<uint8_t>(10, 0x80))},
      {"huge.pcx", pcx},
  };
  // Within the pixel cap, but a few hundred bytes cannot hold 16 million: the
  // cap of decoded bytes per file byte refuses it before anything is allocated.
  const std::vector<uint8_t> tall = Pcx(0, 0, 4095, 4095, 1, {0xFF, 0x01});
  Picture picture;
  PcxHeader header;
  EXPECT_EQ(DecodePcx(tall.data(), tall.size(), header, picture).error, DecodeError::kTooLarge);
  for (const Hostile& p : pictures) {
    Write(p.name, p.bytes);
    const long before = test::PeakResidentKiB();
    const auto start = std::chrono::steady_clock::now();
    bitmap b;
    EXPECT_EQ(b.load(p.name), 0) << p.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << p.name;
    EXPECT_LT(test::PeakResidentKiB() - before, 64 * 1024) << p.name;
  }
}

TEST_F(PictureLoad, EncoderPcxFilesDecodeToTheirPixels) {
  for (const char* name : {"pal8.pcx", "rgb24.pcx"}) {
    bitmap b;
    ASSERT_EQ(b.load(test::FixturePath(std::string("pictures/") + name).c_str()), 1) << name;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadFileBytes(test::FixturePath(std::string("pictures/") + name + ".rgb").c_str(), rgb));
    ASSERT_EQ(size_t(b.width * b.height * 3), rgb.size());
    for (int i = 0; i < b.width * b.height; ++i) {
      DWORD expected = rgb[3 * i] + 256u * rgb[3 * i + 1] + 65536u * rgb[3 * i + 2];
      ASSERT_EQ(test::PixelAt(b, i % b.width, i / b.width), expected) << name << " " << i;
    }
  }
}

TEST_F(PictureLoad, BmpLoadsAtItsOwnSizeInTheDisplayFormat) {
  bitmap b;
  ASSERT_EQ(b.load(test::FixturePath("pictures/info24.bmp").c_str()), 1);
  EXPECT_EQ(b.loaded, 1);
  EXPECT_EQ(b.created, 0);
  EXPECT_EQ(b.width, 13);
  EXPECT_EQ(b.height, 7);
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(ReadFileBytes(test::FixturePath("pictures/info24.bmp.rgb").c_str(), rgb));
  EXPECT_EQ(test::PixelAt(b, 12, 6), DWORD(rgb[3 * 90]) << 16 | DWORD(rgb[3 * 90 + 1]) << 8 | rgb[3 * 90 + 2]);
}

TEST_F(PictureLoad, MissingBmpClearsTheFields) {
  bitmap b;
  b.width = 9, b.use_colorkey = 1, b.x = 3;
  EXPECT_EQ(b.load("nothing-here.bmp"), 0);
  EXPECT_EQ(b.width, 0);
  EXPECT_EQ(b.use_colorkey, 0);
  EXPECT_EQ(b.x, 0);
  EXPECT_FALSE(b.holds_surface());
}

TEST_F(PictureLoad, RestoreOfABmpReadsTheFileAgain) {
  test::WriteBmp("p.bmp", 1, 1, [](int, int) { return 0x112233u; });
  bitmap b;
  ASSERT_EQ(b.load("p.bmp"), 1);
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0x112233u);
  test::WriteBmp("p.bmp", 1, 1, [](int, int) { return 0xAABBCCu; });
  winapi::testing::SimulateMinimise(hWnd);
  g_bDisplayReady = 0;
  EXPECT_NE(b.lock(), 0);  // lost while the display is away
  b.restore();
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0xAABBCCu);
}

TEST_F(PictureLoad, ALockOfALostPictureBringsItBackReadAgain) {
  // The effects only lock their pictures; a lost one must not stay lost.
  test::WriteBmp("q.bmp", 2, 1, [](int, int) { return 0x123456u; });
  bitmap b;
  ASSERT_EQ(b.load("q.bmp"), 1);
  winapi::testing::SimulateMinimise(hWnd);
  ASSERT_EQ(g_bDisplayReady, 1);
  ASSERT_EQ(b.lock(), 0);
  DWORD pixel = 0;
  b.get_pixel(1, 0, &pixel);
  b.unlock();
  EXPECT_EQ(pixel, 0x123456u);
}

TEST_F(PictureLoad, RestoreOfAPcxCannotReloadIt) {
  Write("r.pcx", Pcx(0, 0, 1, 1, 1, {1, 2, 3, 4}));
  bitmap b;
  ASSERT_EQ(b.load("r.pcx"), 1);
  EXPECT_EQ(reload_bitmap_surface(b.surface, b.name), E_FAIL);
  b.restore();
  EXPECT_EQ(b.loaded, 1);
}

TEST_F(PictureLoad, ABitmapSurfaceOfAPictureHasItsSizeAndPixels) {
  const auto rgb = [](int x, int y) { return uint32_t(x * 0x020000 + y * 0x000400 + ((x ^ y) & 0xFF)); };
  test::WriteBmp("p.bmp", 100, 50, rgb);
  IDirectDrawSurface7* s = load_bitmap_surface(g_pDD, "p.bmp", 0, 0);
  ASSERT_NE(s, nullptr);
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(d.dwWidth, 100u);
  EXPECT_EQ(d.dwHeight, 50u);
  int wrong = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x)
      wrong += (reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch)[x] & 0xFFFFFF) !=
               rgb(x, y);
  s->Unlock(nullptr);
  s->Release();
  EXPECT_EQ(wrong, 0);
}

TEST_F(PictureLoad, BitmapSurfaceHelpersStretchAndKeepOnFailure) {
  IDirectDrawSurface7* s = load_bitmap_surface(g_pDD, test::FixturePath("pictures/info24.bmp").c_str(), 26, 14);
  ASSERT_NE(s, nullptr);
  DDSURFACEDESC2 d{};
  s->GetSurfaceDesc(&d);
  EXPECT_EQ(d.dwWidth, 26u);
  EXPECT_EQ(d.dwHeight, 14u);
  bitmap b;
  ASSERT_EQ(b.create(4, 4), 1);
  b.clear(0x445566);
  EXPECT_EQ(reload_bitmap_surface(b.surface, "no-such-file.bmp"), E_FAIL);
  EXPECT_EQ(test::PixelAt(b, 1, 1), 0x445566u);
  EXPECT_EQ(load_bitmap_surface(g_pDD, "no-such-file.bmp", 0, 0), nullptr);
  s->Release();
}

TEST_F(PictureLoad, ReadPcxPixelsGivesIndicesAndSize) {
  Write("idx.pcx", Pcx(0, 0, 2, 1, 1, {0xC3, 0x09, 1, 2, 0xC0}));
  int w = 0, h = 0;
  uint8_t* p = read_pcx_pixels("idx.pcx", &w, &h);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(p[0], 9);
  EXPECT_EQ(p[2], 9);
  EXPECT_EQ(p[3], 1);
  EXPECT_EQ(p[5], 192);
  delete[] p;
  uint8_t* again = read_pcx_pixels("idx.pcx", nullptr, nullptr);  // the sizes are optional
  EXPECT_NE(again, nullptr);
  delete[] again;
}

TEST(ReadPcxPixels, MissingFileEndsTheProgramWithItsMessage) {
  EXPECT_EXIT(read_pcx_pixels("/no/such/file.pcx", nullptr, nullptr), ::testing::ExitedWithCode(1), "");
}

class FrameSequence : public PictureLoad {
 protected:
  void WriteFrames(const std::string& prefix, int n) {
    for (int i = 0; i < n; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "%s%04d.bmp", prefix.c_str(), i);
      test::WriteBmp(name, 1, 1, [i](int, int) { return uint32_t(i); });  // the only pixel counts the frame
    }
  }
};

TEST_F(FrameSequence, ZeroFramesLoadNothingAndSucceed) {
  frame_sequence s;
  EXPECT_EQ(s.load_frames("nothing/f", 0), 1);
  EXPECT_EQ(s.count, 0);
}

TEST_F(FrameSequence, TwelveFramesLoadInNameOrder) {
  WriteFrames("walk", 12);
  frame_sequence s;
  ASSERT_EQ(s.load_frames("walk", 12), 1);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(test::PixelAt(s.frames[i], 0, 0), DWORD(i)) << i;
  EXPECT_STREQ(s.frames[11].name, "walk0011.bmp");
  s.free_frames();
  EXPECT_EQ(s.frames, nullptr);
}

TEST_F(FrameSequence, AMissingThirdFrameUndoesTheFirstTwo) {
  WriteFrames("gap", 5);
  std::filesystem::remove("gap0002.bmp");
  logging::EnableFiles(dir.path().string());
  log_2d.open("", "log/velmora 2d.log", "2d", nullptr);
  frame_sequence s;
  EXPECT_EQ(s.load_frames("gap", 5), 0);
  EXPECT_EQ(s.frames, nullptr);
  log_2d.file.close();
  logging::DisableFiles();
  std::stringstream log;
  log << std::ifstream(dir.path() / "log/velmora 2d.log").rdbuf();
  EXPECT_NE(log.str().find("Failed to load bitmap gap0002.bmp!\n"), std::string::npos) << log.str();
}

TEST_F(FrameSequence, APrefixEndingInASeparatorReadsInsideThatDirectory) {
  std::filesystem::create_directory("anim");
  WriteFrames("anim/", 2);
  frame_sequence s;
  EXPECT_EQ(s.load_frames("anim/", 2), 1);
  EXPECT_STREQ(s.frames[1].name, "anim/0001.bmp");
}

}  // namespace
