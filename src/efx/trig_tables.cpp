#include "efx/trig_tables.h"

#include <cmath>

double COS[360];
double SIN[360];

void InitTables() {
  for (int i = 0; i < 360; ++i) {
    double a = i * 6.283 / 360;
    COS[i] = std::cos(a);
    SIN[i] = std::sin(a);
  }
}
