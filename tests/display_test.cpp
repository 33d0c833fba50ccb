#include <array>

#include "support.h"

namespace {

using DisplaySetup = test::DisplayTest;

TEST_F(DisplaySetup, FreeWithNothingSetUpOnlyClearsReady) {
  g_bDisplayReady = 1;
  EXPECT_EQ(DxFree(), 1);
  EXPECT_EQ(g_bDisplayReady, 0);
  EXPECT_EQ(g_pDD, nullptr);
}

TEST_F(DisplaySetup, DefaultModeComesUpReadyWithAPrimarySurface) {
  ASSERT_EQ(DxInit(320, 200, 32), 1);
  EXPECT_EQ(g_bDisplayReady, 1);
  EXPECT_TRUE(primary.created);
  EXPECT_EQ(primary.width, 0);  // create_primary leaves the size to the first blit
  DDSURFACEDESC2 d{};
  d.dwSize = 124;
  primary.surface->GetSurfaceDesc(&d);
  EXPECT_EQ(d.dwWidth, 320u);
  EXPECT_EQ(d.dwHeight, 200u);
  EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 32u);
}

TEST_F(DisplaySetup, RejectedModeFailsButKeepsTheRequestedNumbers) {
  EXPECT_EQ(DxInit(640, 480, 8), 0);
  EXPECT_EQ(g_hr, DDERR_UNSUPPORTEDMODE);
  EXPECT_EQ(g_dwWidth, 640u);
  EXPECT_EQ(g_dwHeight, 480u);
  EXPECT_EQ(g_dwBpp, 8u);
  EXPECT_EQ(g_bDisplayReady, 0);
  EXPECT_FALSE(primary.created);
  EXPECT_NE(g_pDD, nullptr);  // half set up until DxFree
  EXPECT_EQ(DxFree(), 1);
  EXPECT_EQ(g_pDD, nullptr);
}

TEST_F(DisplaySetup, ModesOutsideTheEmulatedRangeAreRefused) {
  for (auto mode : {std::array<DWORD, 3>{0, 0, 0}, {8193, 100, 32}, {100, 8193, 32}, {0xFFFFFFFF, 200, 32}}) {
    EXPECT_EQ(DxInit(mode[0], mode[1], mode[2]), 0);
    DxFree();
  }
  EXPECT_EQ(DxInit(1, 1, 16), 1);
  DxFree();
  EXPECT_EQ(DxInit(8192, 1, 24), 1);
}

TEST_F(DisplaySetup, SecondInitWithoutFreeFailsAtThePrimarySurface) {
  ASSERT_EQ(DxInit(320, 200, 32), 1);
  IDirectDraw7* first = g_pDD;
  EXPECT_EQ(DxInit(320, 200, 32), 0);
  g_pDD->Release();
  g_pDD = first;
}

TEST_F(DisplaySetup, RestoreAlwaysEndsReady) {
  EXPECT_EQ(DxRestore(), 1);  // nothing set up: restoring primary does nothing
  EXPECT_EQ(g_bDisplayReady, 1);
  ASSERT_EQ(DxInit(320, 200, 32), 1);
  g_bDisplayReady = 0;
  EXPECT_EQ(DxRestore(), 1);
  EXPECT_EQ(g_bDisplayReady, 1);
}

TEST_F(DisplaySetup, FreeReleasesPrimaryOnce) {
  ASSERT_EQ(DxInit(320, 200, 32), 1);
  EXPECT_EQ(DxFree(), 1);
  EXPECT_FALSE(primary.created);
  EXPECT_EQ(primary.surface, nullptr);
  EXPECT_EQ(DxFree(), 1);
}

TEST_F(DisplaySetup, SixteenAndTwentyFourBitModesUseTheirPixelSizes) {
  for (DWORD bpp : {16u, 24u}) {
    ASSERT_EQ(DxInit(64, 48, bpp), 1);
    bitmap b;
    ASSERT_EQ(b.create(10, 10), 1);
    ASSERT_EQ(b.lock(), 0);
    EXPECT_EQ(b.desc.ddpfPixelFormat.dwRGBBitCount, bpp);
    EXPECT_GE(b.desc.lPitch, static_cast<LONG>(10 * bpp / 8));
    b.unlock();
    b.free();
    DxFree();
  }
}

}  // namespace
