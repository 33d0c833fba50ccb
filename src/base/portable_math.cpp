#include "base/portable_math.h"

#include <cmath>

// The classic minimax polynomials and Cody-Waite reduction of the freely
// available fdlibm, written out so that no operation is left to a library.
// Only IEEE double additions, multiplications and divisions (correctly rounded
// everywhere) and exact conversions are used; no fused multiply-add, which the
// C++20 mode without extensions does not contract to.

namespace portable_math {
namespace {

// sin on [-pi/4, pi/4], x + y being the reduced argument (y its tail).
double KernelSin(double x, double y) {
  constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03, S3 = -1.98412698298579493134e-04,
                   S4 = 2.75573137070700676789e-06, S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
  const double z = x * x, w = z * z;
  const double r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
  const double v = z * x;
  return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

// cos on [-pi/4, pi/4].
double KernelCos(double x, double y) {
  constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03, C3 = 2.48015872894767294178e-05,
                   C4 = -2.75573143513906633035e-07, C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
  const double z = x * x, w = z * z;
  const double r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
  const double hz = 0.5 * z, a = 1.0 - hz;
  return a + (((1.0 - a) - hz) + (z * r - x * y));
}

struct Reduced {
  int quadrant;  // x = quadrant * pi/2 + hi + lo
  double hi, lo;
};

// x - n pi/2 with pi/2 in three pieces, the first two of 33 bits, so that n times
// them is exact for |n| below 2^20 (|x| below about 1.6 million).
Reduced Reduce(double x) {
  constexpr double kPiOver4 = 7.85398163397448278999e-01;
  if (std::fabs(x) <= kPiOver4) return {0, x, 0.0};
  constexpr double kTwoOverPi = 6.36619772367581382433e-01;
  constexpr double kPio2_1 = 1.57079632673412561417e+00;
  constexpr double kPio2_2 = 6.07710050630396597660e-11, kPio2_2t = 2.02226624879595063154e-21;
  const int n = static_cast<int>(x * kTwoOverPi + (x < 0 ? -0.5 : 0.5));
  const double fn = n;
  const double t = x - fn * kPio2_1;
  double w = fn * kPio2_2;
  const double r = t - w;
  w = fn * kPio2_2t - ((t - r) - w);
  const double hi = r - w;
  return {n & 3, hi, (r - hi) - w};
}

}  // namespace

double Sin(double x) {
  const Reduced r = Reduce(x);
  switch (r.quadrant) {
    case 0: return KernelSin(r.hi, r.lo);
    case 1: return KernelCos(r.hi, r.lo);
    case 2: return -KernelSin(r.hi, r.lo);
    default: return -KernelCos(r.hi, r.lo);
  }
}

double Cos(double x) {
  const Reduced r = Reduce(x);
  switch (r.quadrant) {
    case 0: return KernelCos(r.hi, r.lo);
    case 1: return -KernelSin(r.hi, r.lo);
    case 2: return -KernelCos(r.hi, r.lo);
    default: return KernelSin(r.hi, r.lo);
  }
}

double Atan(double x) {
  constexpr double kAtanHi[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01, 9.82793723247329054082e-01,
                                1.57079632679489655800e+00};
  constexpr double kAtanLo[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17, 1.39033110312309984516e-17,
                                6.12323399573676603587e-17};
  constexpr double kT[] = {3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
                           -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
                           6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
                           -3.65315727442169155270e-02, 1.62858201153657823623e-02};
  if (std::isnan(x)) return x;
  const bool negative = x < 0;
  double a = std::fabs(x);
  if (a >= 7.3786976294838206464e19) return negative ? -kAtanHi[3] - kAtanLo[3] : kAtanHi[3] + kAtanLo[3];  // 2^66
  int id = -1;
  if (a < 0.4375) {
    if (a < 7.450580596923828125e-9) return x;  // 2^-27: atan(x) rounds to x
  } else if (a < 1.1875) {
    if (a < 0.6875) {
      id = 0;
      a = (2.0 * a - 1.0) / (2.0 + a);
    } else {
      id = 1;
      a = (a - 1.0) / (a + 1.0);
    }
  } else if (a < 2.4375) {
    id = 2;
    a = (a - 1.5) / (1.0 + 1.5 * a);
  } else {
    id = 3;
    a = -1.0 / a;
  }
  const double z = a * a, w = z * z;
  const double s1 = z * (kT[0] + w * (kT[2] + w * (kT[4] + w * (kT[6] + w * (kT[8] + w * kT[10])))));
  const double s2 = w * (kT[1] + w * (kT[3] + w * (kT[5] + w * (kT[7] + w * kT[9]))));
  if (id < 0) return negative ? -(a - a * (s1 + s2)) : a - a * (s1 + s2);
  const double result = kAtanHi[id] - ((a * (s1 + s2) - kAtanLo[id]) - a);
  return negative ? -result : result;
}

}  // namespace portable_math
