#pragma once
// Sine, cosine and arc tangent computed by this program itself, from additions,
// multiplications and divisions only, so that every build (glibc on Linux, musl
// in the WebAssembly build) gets the same bits and with them the same pictures.
// The C libraries' own functions differ in the last bit for about one argument
// in twenty, which is enough to move a pixel. Accurate to within one unit in the
// last place for the arguments the effects use (|x| up to a few thousand).

namespace portable_math {

double Sin(double x);
double Cos(double x);
double Atan(double x);

}  // namespace portable_math
