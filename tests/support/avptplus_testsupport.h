// The linear avPT+ fixture: a rock of one mineral with three variables and
// a store of 45 calculations on a 5 x 9 P-T grid whose variables are exact
// linear functions of P and T, with the settings that drive the avPT+ code
// on it. Unit tests of both halves of avPT+ build on it.
#pragma once

#include <array>
#include <string>

#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_windows.h"
#include "iotestsupport.h"

namespace avpttest {

constexpr int nvar = 3;
using triple = std::array<long double, nvar>;

// The rock's mineral.
inline const triple rockxyz = {0.339499L, 0.532736L, 0.202498L};
inline const triple rocksd = {0.010L, 0.012L, 0.008L};
// The calculations: x = a + b (P - 6) + c (T - 600), sds sdxyz, no correlation.
inline const triple a = {0.30L, 0.50L, 0.20L};
inline const triple b = {0.020L, -0.015L, 0.005L};
inline const triple c = {0.0010L, 0.0005L, -0.0008L};
inline const triple sdxyz = {0.005L, 0.006L, 0.004L};

// How often what occurs in text.
inline std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The value of variable i (0-based) at P, T.
inline long double linear(int i, long double p, long double t) { return a[i] + b[i] * (p - 6) + c[i] * (t - 600); }

// Appends one calculation to the store.
inline void addcalc(long double p, long double t, const triple& x, const triple& sd, long double xfluid = 0) {
  using namespace ZQGLOBAL;
  jxcalctype& r = (*JXCALC)[++NJX];
  r.p = p;
  r.t = t;
  r.xfluid = xfluid;
  for (int i = 0; i < nvar; ++i) {
    r.xyz[i + 1] = x[i];
    r.sdxyz[i + 1] = sd[i];
  }
  for (int m = 1; m <= nvar * (nvar - 1) / 2; ++m) r.cor[m] = 0;
}

// The rock's mineral: values, sds and an identity correlation matrix.
inline void setrock(const triple& x, const triple& sd) {
  using namespace ZQGLOBAL;
  NMIN = 1;
  mineraltype& m = MINERAL[1];
  m.name = "mn";
  m.nxyz = nvar;
  for (int i = 1; i <= nvar; ++i) {
    m.xyzname[i] = "x" + std::to_string(i);
    m.xyz[i] = x[i - 1];
    m.sdxyz[i] = sd[i - 1];
    for (int j = 1; j <= nvar; ++j) m.corxyz(i, j) = i == j ? 1 : 0;
  }
}

// A fresh state holding the rock, the settings (avPT+, guesses 6 kbar and
// 600 C, window 1..15 kbar, 400..800 C) and an empty store of three variables.
inline void setupempty() {
  using namespace ZQGLOBAL;
  testsupport::freshstate();
  ALLOCATEJXCALC();
  setrock(rockxyz, rocksd);
  NJX = 0;
  NJXXYZ = nvar;
  NCOR = nvar * (nvar - 1) / 2;
  for (int i = 1; i <= nvar; ++i) JXXYZNAME[i] = "x" + std::to_string(i);
  AVPTCALCTYPE = 1;
  AVPGUESS = 6;
  AVTGUESS = 600;
  CPINC = 1;
  FIGPLOW = 1;
  FIGPHIGH = 15;
  FIGTLOW = 400 + 273.15L;
  FIGTHIGH = 800 + 273.15L;
}

// The linear fixture: the 45 calculations stored P by P, 4..8 kbar, and
// within each P, 500..700 C by 25.
inline void setuplinear() {
  setupempty();
  for (int ip = 0; ip <= 4; ++ip)
    for (int it = 0; it <= 8; ++it) {
      const long double p = 4 + ip, t = 500 + 25 * it;
      addcalc(p, t, {linear(0, p, t), linear(1, p, t), linear(2, p, t)}, sdxyz);
    }
}

}  // namespace avpttest
