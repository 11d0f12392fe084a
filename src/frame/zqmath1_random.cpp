// The uniform random generator: Wichmann and Hill's combination of three
// multiplicative congruential generators.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"

namespace ZQMATH1 {

void SETUPRANDOM(bool fixed) {
  using namespace ZQGLOBAL;
  if (fixed) {
    SEED1 = 130;
    SEED2 = 136;
    SEED3 = 140;
  } else {
    // Hour, second and millisecond of the local time; the minute is left
    // out, as it always has been.
    const IO::timepoint now = IO::CLOCK();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    SEED1 = local.tm_hour;
    SEED2 = local.tm_sec;
    SEED3 = static_cast<longint>(((ms % 1000) + 1000) % 1000);
  }
  // A seed of 0 would stay 0 for ever.
  ++SEED1;
  ++SEED2;
  ++SEED3;
}

extended RANDOM() {
  using namespace ZQGLOBAL;
  SEED1 = static_cast<longint>((171 * static_cast<std::int64_t>(SEED1)) % 30269);
  SEED2 = static_cast<longint>((172 * static_cast<std::int64_t>(SEED2)) % 30307);
  SEED3 = static_cast<longint>((170 * static_cast<std::int64_t>(SEED3)) % 30323);
  // In double on purpose: the sequence is the generator's, digit for digit.
  const double t = static_cast<double>(SEED1) / 30269.0 + static_cast<double>(SEED2) / 30307.0 +
                   static_cast<double>(SEED3) / 30323.0;
  return static_cast<extended>(t - std::trunc(t));
}

}  // namespace ZQMATH1
