#include "base/portable_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// Distance in representable doubles between two values of the same sign.
uint64_t UlpsApart(double a, double b) {
  if (a == b) return 0;
  if ((a < 0) != (b < 0)) return UINT64_MAX;
  const uint64_t x = Bits(a), y = Bits(b);
  return x > y ? x - y : y - x;
}

using portable_math::Atan;
using portable_math::Cos;
using portable_math::Sin;

TEST(PortableMath, StaysWithinOneUnitOfTheSystemLibraryOverTheEffectsRanges) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> angle(-2000.0, 2000.0), exponent(-30.0, 30.0);
  for (int i = 0; i < 200000; ++i) {
    const double x = angle(random);
    ASSERT_LE(UlpsApart(Sin(x), std::sin(x)), 1u) << x;
    ASSERT_LE(UlpsApart(Cos(x), std::cos(x)), 1u) << x;
    const double t = std::exp(exponent(random)) * (i % 2 ? 1 : -1);
    ASSERT_LE(UlpsApart(Atan(t), std::atan(t)), 1u) << t;
  }
  // The quadrant boundaries, where the reduction cancels most.
  for (int n = -64; n <= 64; ++n) {
    const double x = n * 1.5707963267948966;
    EXPECT_LE(std::fabs(Sin(x) - std::sin(x)), 1e-16) << n;
    EXPECT_LE(std::fabs(Cos(x) - std::cos(x)), 1e-16) << n;
  }
}

TEST(PortableMath, ExactValuesSymmetryAndTheEnds) {
  EXPECT_EQ(Bits(Sin(0.0)), Bits(0.0));
  EXPECT_EQ(Cos(0.0), 1.0);
  EXPECT_EQ(Atan(1.0), 0.78539816339744828);  // pi/4 rounded
  EXPECT_EQ(Atan(INFINITY), 1.5707963267948966);
  EXPECT_EQ(Atan(-INFINITY), -1.5707963267948966);
  EXPECT_TRUE(std::isnan(Atan(NAN)));
  EXPECT_EQ(Atan(1e-12), 1e-12);
  for (double x : {0.3, 0.5, 0.9, 1.3, 2.0, 7.5, 1e6}) {
    EXPECT_EQ(Atan(-x), -Atan(x)) << x;
    EXPECT_EQ(Sin(-x), -Sin(x)) << x;
    EXPECT_EQ(Cos(-x), Cos(x)) << x;
  }
}

// The demo's trigonometry tables and the twirl's angles come out bit for bit the
// same in every build (the WebAssembly build's frames are compared with these):
// a change that moves any bit here moves pixels.
TEST(PortableMath, TheTablesBitsAreFixed) {
  uint64_t sum = 0;
  for (int i = 0; i < 360; ++i) {
    const double a = i * 6.283 / 360;
    sum = sum * 1099511628211u ^ Bits(Cos(a));
    sum = sum * 1099511628211u ^ Bits(Sin(a));
  }
  for (int dx = 1; dx <= 200; ++dx)
    for (int dy = 1; dy <= 120; ++dy) sum = sum * 1099511628211u ^ Bits(Atan(double(dy) / dx));
  float phase = 0;
  for (int i = 0; i < 3000; ++i) {
    phase = phase < 90.0 ? static_cast<float>(phase + 0.05) : 60.0f;
    sum = sum * 1099511628211u ^ Bits(Cos(double(phase)));
  }
  EXPECT_EQ(sum, 0x7a3194a724688e6fu) << std::hex << sum;
}

}  // namespace
