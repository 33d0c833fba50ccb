#pragma once
// The cosine and sine tables the effects and the driver index by whole degrees.

// Entry i belongs to i x 6.283 / 360 radians (6.283, not 2 pi), so an angle in
// degrees truncated to an integer indexes them; valid indices 0 to 359.
extern double COS[360];
extern double SIN[360];

void InitTables();
