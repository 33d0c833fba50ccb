#include "image/bmp_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/file_bytes.h"
#include "support.h"

namespace {

std::vector<uint8_t> Fixture(const std::string& name) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadFileBytes(test::FixturePath("pictures/" + name).c_str(), bytes)) << name;
  return bytes;
}

class EncoderVariants : public ::testing::TestWithParam<const char*> {};

// Every variant was written by ImageMagick (a few were then reshaped by hand:
// RLE4, V4, plain 5-5-5 and top-down; see the note in fixtures/pictures); the
// .rgb file beside each is what ImageMagick reads back from it.
TEST_P(EncoderVariants, DecodeToThePixelsTheEncoderReports) {
  const std::string name = GetParam();
  std::vector<uint8_t> file = Fixture(name), rgb = Fixture(name + ".rgb");
  Picture p;
  ASSERT_TRUE(DecodeBmp(file.data(), file.size(), p)) << name;
  ASSERT_EQ(size_t(p.width) * p.height * 3, rgb.size());
  for (int i = 0; i < p.width * p.height; ++i) {
    uint32_t expected = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    ASSERT_EQ(p.pixels[i], expected) << name << " pixel " << i % p.width << "," << i / p.width;
  }
}

INSTANTIATE_TEST_SUITE_P(Bmp, EncoderVariants,
                         ::testing::Values("core24.bmp", "core8.bmp", "info24.bmp", "pal1.bmp", "pal4.bmp", "pal8.bmp",
                                           "rle8.bmp", "rle4.bmp", "rgb555.bmp", "plain555.bmp", "bf565.bmp",
                                           "bf1555.bmp", "v4_24.bmp", "v5_24.bmp", "plain32.bmp", "bf32.bmp",
                                           "topdown24.bmp"));

TEST(BmpDecoder, TruncatedFilesAreRefusedAtEveryLength) {
  for (const char* name : {"info24.bmp", "pal8.bmp", "rle8.bmp", "rle4.bmp", "bf565.bmp", "core8.bmp"}) {
    std::vector<uint8_t> file = Fixture(name);
    Picture p;
    for (size_t n = 0; n < file.size(); ++n) {
      std::vector<uint8_t> cut(file.begin(), file.begin() + n);
      EXPECT_FALSE(DecodeBmp(cut.data(), cut.size(), p)) << name << " cut at " << n;
    }
  }
}

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
}

TEST(BmpDecoder, SizesThatOverflowAreRefusedWithoutAllocating) {
  std::vector<uint8_t> file = Fixture("info24.bmp");
  Picture p;
  for (uint32_t w : {0x7FFFFFFFu, 0x80000000u, 65536u, 0u}) {
    std::vector<uint8_t> f = file;
    Put32(f, 18, w);
    EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p)) << w;
  }
  std::vector<uint8_t> f = file;
  Put32(f, 18, 40000);
  Put32(f, 22, 40000);  // 1.6 G pixels: past memory, never allocated
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
}

TEST(BmpDecoder, HeaderThatLiesAboutItsSizeIsRefused) {
  std::vector<uint8_t> f = Fixture("info24.bmp");
  Picture p;
  Put32(f, 14, 0x10000);
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
  Put32(f, 14, 20);
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
  f = Fixture("info24.bmp");
  Put32(f, 10, uint32_t(f.size()) + 5);  // pixel data past the end
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
}

TEST(BmpDecoder, IndicesPastAShortPaletteAreRefused) {
  std::vector<uint8_t> f = Fixture("pal8.bmp");
  Picture p;
  ASSERT_TRUE(DecodeBmp(f.data(), f.size(), p));
  Put32(f, 46, 2);  // only two colours, though the pixels use more
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
}

TEST(BmpDecoder, RunLengthCodesThatRunOffThePictureAreDroppedNotWritten) {
  std::vector<uint8_t> f = Fixture("rle8.bmp");
  Picture p;
  const uint32_t off = f[10] | f[11] << 8;
  std::vector<uint8_t> g(f.begin(), f.begin() + off);
  // A run of 200 on a 13-pixel row, then a delta far below the last row and more
  // pixels there, then the end.
  for (uint8_t b : {200, 1, 0, 2, 0, 40, 5, 2, 0, 1}) g.push_back(b);
  ASSERT_TRUE(DecodeBmp(g.data(), g.size(), p));
  ASSERT_EQ(p.pixels.size(), 13u * 7);
  for (int x = 0; x < 13; ++x) EXPECT_EQ(p.pixels[6 * 13 + x], p.pixels[6 * 13]);  // bottom row: the run
  EXPECT_EQ(p.pixels[0], 0u);  // rows the stream never reached stay black
}

TEST(BmpDecoder, RunLengthStreamWithoutItsEndIsRefused) {
  std::vector<uint8_t> f = Fixture("rle8.bmp");
  Picture p;
  const uint32_t off = f[10] | f[11] << 8;
  std::vector<uint8_t> g(f.begin(), f.begin() + off);
  for (uint8_t b : {3, 1, 0, 0}) g.push_back(b);
  EXPECT_FALSE(DecodeBmp(g.data(), g.size(), p));
}

TEST(BmpDecoder, FullWidthBitFieldMaskDecodes) {
  // A 32-bit mask of all ones once made the channel width count run for ever.
  std::vector<uint8_t> f = Fixture("bf32.bmp");
  Put32(f, 54, 0xFFFFFFFF);
  Picture p;
  ASSERT_TRUE(DecodeBmp(f.data(), f.size(), p));
  // The first stored pixel is the bottom row's first; all 32 bits are red, so red
  // is the pixel's top byte.
  const uint32_t off = f[10] | f[11] << 8;
  EXPECT_EQ(p.pixels[size_t(p.height - 1) * p.width] >> 16, f[off + 3]);
}

TEST(BmpDecoder, BitFieldMasksPastTheEndAreRefused) {
  // Found by fuzzing: a 41-byte header with bit fields in a 60-byte file.
  std::vector<uint8_t> f = Fixture("bf32.bmp");
  Put32(f, 14, 41);
  f.resize(60);
  Picture p;
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
}

TEST(BmpDecoder, UnknownDepthsAndCompressionsAreRefused) {
  std::vector<uint8_t> f = Fixture("info24.bmp");
  Picture p;
  f[28] = 7;
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
  f = Fixture("info24.bmp");
  Put32(f, 30, 4);  // JPEG inside a BMP
  EXPECT_FALSE(DecodeBmp(f.data(), f.size(), p));
  EXPECT_FALSE(DecodeBmp(nullptr, 0, p));
  const uint8_t not_bmp[] = "PK\3\4 this is something else entirely";
  EXPECT_FALSE(DecodeBmp(not_bmp, sizeof not_bmp, p));
}

}  // namespace
