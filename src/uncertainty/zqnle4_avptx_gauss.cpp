// The Gaussian numbers of the avPT+ Monte Carlo tries and the plain
// fixed-point text of its straight-written lines.
#include <cmath>
#include <cstdio>

#include "frame/io.h"
#include "uncertainty/zqnle4_avptx.h"

namespace ZQNLE4 {

void avptgauss::seed(std::uint32_t s) {
  gen.seed(s);
  havespare = false;
  spare = 0;
}

extended avptgauss::next() {
  if (havespare) {
    havespare = false;
    return spare;
  }
  // Uniform numbers strictly inside (-1, 1): the half step keeps both ends out.
  constexpr extended scale = 4294967296.0L;  // 2^32, the span of one draw
  extended v1 = 0, v2 = 0, s = 0;
  do {
    v1 = 2 * ((static_cast<extended>(gen()) + 0.5L) / scale) - 1;
    v2 = 2 * ((static_cast<extended>(gen()) + 0.5L) / scale) - 1;
    s = v1 * v1 + v2 * v2;
  } while (s >= 1 || s == 0);
  const extended f = std::sqrt(-2 * std::log(s) / s);
  spare = v2 * f;
  havespare = true;
  return v1 * f;
}

std::string avptfixed(extended x, int w, int d) { return IO::FIXEDPOINT(x, w, d); }

}  // namespace ZQNLE4
