#include "efx/trig_tables.h"

#include "base/portable_math.h"

double COS[360];
double SIN[360];

void InitTables() {
  for (int i = 0; i < 360; ++i) {
    double a = i * 6.283 / 360;
    COS[i] = portable_math::Cos(a);
    SIN[i] = portable_math::Sin(a);
  }
}
