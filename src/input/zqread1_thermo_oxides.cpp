// From the element formulas of the end-members in use to the system
// components and the integer composition matrix.
#include <cmath>
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "input/zqread1.h"

namespace ZQREAD1 {

namespace {

using namespace ZQGLOBAL;

constexpr int oxygen = 10;  // element code of oxygen

// Formulas the conversion cannot work on: with no pair there is no
// composition, and a second oxygen pair would be taken for a cation.
bool checkformulas() {
  bool anyoxygen = false;
  for (long j = 1; j <= NCV; ++j) {
    // Calc mode 9 names an end-member of its experiments "###" when the
    // data set lacks it: a made one, composed from its recipe later.
    if (NOX[j] < 1 && NAME[j] == "###") continue;
    if (NOX[j] < 1) IO::ERROREXIT("makeoxides", "no formula for " + NAME[j], yourfault);
    int noxygen = 0;
    for (long k = 1; k <= NOX[j]; ++k)
      if (OXCODE(j, k) == oxygen) ++noxygen;
    if (noxygen > 1) IO::ERROREXIT("makeoxides", "more than one oxygen in the formula of " + NAME[j], yourfault);
    if (noxygen == 1) anyoxygen = true;
  }
  return anyoxygen;
}

// Cation amounts become oxide amounts and the oxygen pair holds the oxygen
// that the oxides leave over; true when that surplus matters somewhere.
bool tooxides() {
  bool surplus = false;
  for (long j = 1; j <= NCV; ++j) {
    if (NOX[j] < 1) continue;
    long ko = 0;
    for (long k = 1; k <= NOX[j]; ++k) {
      const smallint e = OXCODE(j, k);
      if (e == oxygen) {
        ko = k;
        continue;
      }
      if (METALS[e] == 0)
        IO::ERROREXIT("makeoxides", "the oxide of " + ELNAME[e] + " in " + NAME[j] + " has no cation", yourfault);
      OXNO(j, k) = OXNO(j, k) / METALS[e];
    }
    // single precision, so that rounding noise in the amounts does not make
    // an oxygen component of its own
    float s = ko > 0 ? static_cast<float>(OXNO(j, ko)) : 0.0f;
    for (long k = 1; k <= NOX[j]; ++k) {
      const smallint e = OXCODE(j, k);
      if (e != oxygen) s = static_cast<float>(static_cast<extended>(s) - OXNO(j, k) * OXYGENS[e]);
    }
    if (ko == 0) {
      if (NOX[j] == maxox)
        IO::ERROREXIT("makeoxides",
                      "no room for oxygen in the formula of " + NAME[j] + ": more than " + IO::INT2STR(maxox) +
                          " elements",
                      yourfault);
      NOX[j] = static_cast<smallint>(NOX[j] + 1);
      ko = NOX[j];
      OXCODE(j, ko) = oxygen;
    }
    OXNO(j, ko) = s;
    if (std::fabs(static_cast<extended>(s)) > 0.001L) surplus = true;
  }
  return surplus;
}

}  // namespace

void MAKEOXIDES() {
  for (long k = 1; k <= maxcomp; ++k) COMPDIV[k] = 1;
  if (NCV < 1) IO::ERROREXIT("makeoxides", "no end-members to make components from", yourfault);

  const bool inoxides = checkformulas();
  const bool oxygencomponent = inoxides && tooxides();

  farray<bool, 1, maxcomp> present{"present"};
  present.fill(false);
  for (long j = 1; j <= NCV; ++j)
    for (long k = 1; k <= NOX[j]; ++k) {
      const smallint e = OXCODE(j, k);
      if (e != oxygen || oxygencomponent) present[e] = true;
    }

  farray<smallint, 1, maxcomp> element{"component element"};
  NUV = 0;
  for (long place = 1; place <= maxcomp; ++place)
    for (long e = 1; e <= maxcomp; ++e)
      if (ORDER[e] == place && present[e]) {
        NUV = static_cast<smallint>(NUV + 1);
        element[NUV] = static_cast<smallint>(e);
      }

  for (long c = 1; c <= NUV; ++c) {
    const smallint e = element[c];
    COMPNAME[c] = inoxides ? OXNAME[e] : ELNAME[e];
    emvector v{"component row"};
    v.fill(0);
    for (long j = 1; j <= NCV; ++j)
      for (long k = 1; k <= NOX[j]; ++k)
        if (OXCODE(j, k) == e) v[j] = OXNO(j, k);
    longint m = 1;
    ZQMATH1::REALS2INTEGERS(v, NCV, m);
    COMPDIV[c] = m;
    for (long j = 1; j <= NCV; ++j) {
      const extended x = std::nearbyint(v[j]);
      if (std::fabs(x) > 32767)
        IO::ERROREXIT("makeoxides", "amount of " + COMPNAME[c] + " in " + NAME[j] + " too large as an integer",
                      yourfault);
      (*C)(c, j) = static_cast<smallint>(x);
    }
  }

  NU = NUV;
  NNE = NCV;
  NE = 0;

  for (long c = 1; c <= NUV; ++c) {
    long found = 0;
    for (long k = 1; k <= maxcomp && found == 0; ++k)
      if (OXNAME[k] == COMPNAME[c] || ELNAME[k] == COMPNAME[c]) found = k;
    if (found == 0) IO::ERROREXIT("makeoxides", "cannot find oxide name", yourfault);
    ICOMP[c] = CONTROLJX.witholdset ? smallint(1) : static_cast<smallint>(METALS[found] + OXYGENS[found]);
  }
}

}  // namespace ZQREAD1
