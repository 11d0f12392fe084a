// Made-up solution phases and the solver layout around them, for the tests
// of activities and phase properties.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqcalc2.h"

namespace calctest {

using namespace ZQGLOBAL;

// One entry (an/ad) y[v] of a linear factor.
struct part {
  smallint an, ad, v;
};

inline xtermtype factor(smallint cn, smallint cd, const std::vector<part>& parts) {
  xtermtype f;
  f.cn = cn;
  f.cd = cd;
  f.m = static_cast<smallint>(parts.size());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const long i = static_cast<long>(k + 1);
    f.an[i] = parts[k].an;
    f.ad[i] = parts[k].ad;
    f.v[i] = parts[k].v;
  }
  return f;
}

// coef times the product of the factors, as one-term expression.
inline termtype term(extended coef, const std::vector<xtermtype>& factors) {
  termtype t;
  t.nterms = 1;
  t.terms[1].coef = coef;
  t.terms[1].nfactors = static_cast<smallint>(factors.size());
  for (std::size_t j = 0; j < factors.size(); ++j) t.terms[1].factors[static_cast<long>(j + 1)] = factors[j];
  return t;
}

// A phase of n end-members whose variables are the proportions of
// end-members 2..n; one site whose fractions are the proportions, so the
// ideal-mixing activity of e is p_e unless the caller changes it.
inline ptype1& onesite(long index, long n, axtype model) {
  static const ptype1& blank = *new ptype1;  // some 750 kB: never on the stack
  ptype1& p = (*PREC1)[index];
  p = blank;
  p.name = "ph" + std::to_string(index);
  p.nprop = static_cast<smallint>(n);
  p.nvar = static_cast<smallint>(n - 1);
  p.model = model;
  std::vector<part> rest;
  for (long v = 1; v < n; ++v) rest.push_back({-1, 1, static_cast<smallint>(v)});
  p.prop[1] = term(1, {factor(1, 1, rest)});
  for (long e = 2; e <= n; ++e) p.prop[e] = term(1, {factor(0, 1, {{1, 1, static_cast<smallint>(e - 1)}})});
  p.nsf = static_cast<smallint>(n);
  for (long e = 1; e <= n; ++e) {
    p.sf[e] = p.prop[e];
    p.sfname[e] = "x" + std::to_string(e);
    emtype& em = p.em[e];
    em.name = "e" + std::to_string(e);
    em.norm = 1;
    em.nsfterm = 1;
    em.sfterm[1] = sftermtype{static_cast<smallint>(e), 1, 1};
    p.alphaa[e] = 1;
    p.xvar[e].name = "y" + std::to_string(e) + "(" + p.name + ")";
  }
  return p;
}

// Interaction parameter of every pair j < l in that order: W = w + wt T + wp P.
inline void pairs(ptype1& p, const std::vector<extended>& w, const std::vector<extended>& wt = {},
                  const std::vector<extended>& wp = {}) {
  long q = 0;
  for (long j = 1; j < p.nprop; ++j)
    for (long l = j + 1; l <= p.nprop; ++l) {
      ++q;
      p.wpair[q] = wpairtype{static_cast<smallint>(q), static_cast<smallint>(j), static_cast<smallint>(l)};
      p.wa[q] = w[static_cast<std::size_t>(q - 1)];
      p.wb[q] = wt.empty() ? 0 : wt[static_cast<std::size_t>(q - 1)];
      p.wc[q] = wp.empty() ? 0 : wp[static_cast<std::size_t>(q - 1)];
    }
  p.nwpair = static_cast<smallint>(q);
  p.nw = static_cast<smallint>(q);
}

// Puts solution phase `phase` into the calculation from end-member
// `firstem` and unknown `firstx` on; NCV and NX grow to cover it.
inline void place(long phase, long firstem, long firstx) {
  const ptype1& p = (*PREC1)[phase];
  STARTSS[firstem] = true;
  EM2SS[firstem] = static_cast<smallint>(phase);
  EM2X[firstem] = static_cast<smallint>(firstx);
  NCV = static_cast<smallint>(std::max<long>(NCV, firstem + p.nprop - 1));
  NX = static_cast<smallint>(std::max<long>(NX, firstx + p.nvar - 1));
  for (long v = 1; v <= p.nvar; ++v) XNAME[firstx + v - 1] = p.xvar[v].name;
  if (NPSS < phase) NPSS = static_cast<smallint>(phase);
}

// Random proportions of n end-members, each at least 0.05, summing to 1.
inline std::vector<extended> composition(std::mt19937& rng, long n) {
  std::uniform_real_distribution<double> u(0.05, 1.0);
  std::vector<extended> p(static_cast<std::size_t>(n));
  extended s = 0;
  for (auto& v : p) s += (v = u(rng));
  for (auto& v : p) v /= s;
  return p;
}

// Unknowns with P and T set, the rest 0.
inline eqvector point(extended P, extended T) {
  eqvector x;
  x[1] = P;
  x[2] = T;
  return x;
}

// The unknowns of a one-site phase at proportions p, from x[firstx] on.
inline void setproportions(eqvector& x, long firstx, const std::vector<extended>& p) {
  for (std::size_t e = 1; e < p.size(); ++e) x[firstx + static_cast<long>(e) - 1] = p[e];
}

// The derivative outputs of CALCA, with room for the 400 x 90 table.
struct derivs {
  emvector dp{"test dp"}, dt{"test dt"};
  std::unique_ptr<dRTlnadxtype> dx = std::make_unique<dRTlnadxtype>("test dx");
  void fill(extended v) {
    dp.fill(v);
    dt.fill(v);
    dx->fill(v);
  }
  void calca(const eqvector& x, bool pt, bool xd) { ZQCALC2::CALCA(x, pt, xd, dp, dt, *dx, x[1], x[2]); }
};

// Tables allocated as a run has them and the solver layout empty.
class CalcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::freshstate();
    ZQUTE1::SETUP();
    RESETSOLVER();
    NCV = 0;
    NX = 2;
    NPSS = 0;
    NP0 = 0;
    CALCMODE = calcmodetype::nlecalc;
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    RESETSOLVER();
    NCV = 0;
    NX = 0;
    NPSS = 0;
    NP0 = 0;
    testsupport::freshstate();
  }
};

}  // namespace calctest
