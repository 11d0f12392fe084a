// End-member activities of a solution phase with their sds, the equilibrium
// state of order of an order-disorder phase, and the floor under the
// activity sds.
#include <cmath>
#include <memory>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"
#include "model/zqcalc2.h"
#include "model/zqmath2.h"
#include "model/zqre.h"

using namespace ZQGLOBAL;

namespace ZQREAD1 {

namespace {

constexpr extended activitystep = 0.001L;  // step of a variable for the sd of an ideal activity
constexpr int maxattempts = 1001;          // random restarts of the order variables
constexpr extended lsqdsweight = 0.1L;     // composition weight of the sd floor in calc mode 9
constexpr extended weight = 0.3L;          // and otherwise
constexpr extended absolutefloor = 0.01L;  // ARB: floor on the sd of a site activity
constexpr extended relativefloor = 0.05L;  // MINSDLNA: floor on its relative sd

// The ideal-mixing activity of end-member em at x: every factor taken.
extended idealactivity(const ptype1& p, const emtype& em, const eqvector& x) {
  extended a = em.norm;
  for (long f = 1; f <= em.nsfterm; ++f) {
    const sftermtype& t = em.sfterm[f];
    a *= ZQMATH1::TOPOWER(ZQUTE1::SUBSTERM(p.sf[t.sfindex], x, 1), t.powern, t.powerd);
  }
  return a;
}

// Whether each site fraction of em is positive at xs exactly where it is
// at x: a difference between a state and one across a site fraction's
// zero compares a product with another (or with a power that has no value).
bool samesides(const ptype1& p, const emtype& em, const eqvector& x, const eqvector& xs) {
  for (long f = 1; f <= em.nsfterm; ++f) {
    const termtype& sf = p.sf[em.sfterm[f].sfindex];
    if ((ZQUTE1::SUBSTERM(sf, x, 1) > 0) != (ZQUTE1::SUBSTERM(sf, xs, 1) > 0)) return false;
  }
  return true;
}

// The change of em's ideal activity aid per unit of variable v: forward
// over the step where no site fraction changes side inside it, else
// backward, else over the largest halved step for which one side holds.
// Where the step has shrunk below what x[v] can resolve, nothing changes.
extended idealslope(const ptype1& p, const emtype& em, const eqvector& x, long v, extended aid) {
  eqvector xs = x;
  for (extended h = activitystep; h > 0; h /= 2) {
    for (const extended step : {h, -h}) {
      xs[v] = x[v] + step;
      if (xs[v] == x[v]) return 0;
      if (samesides(p, em, x, xs)) return (idealactivity(p, em, xs) - aid) / step;
    }
  }
  return 0;
}

}  // namespace

void CALCACTIVITIES(smallint i, const eqvector& x, extended p, extended t, eqvector& a, eqvector& sda) {
  const ptype1& ph = (*PREC1)[i];
  const long n = ph.nprop;
  farray<extended, 1, maxssem> alpha{"calcactivities alpha"}, phi{"calcactivities phi"};
  extended sum = 0;
  for (long e = 1; e <= n; ++e) {
    alpha[e] = ph.alphaa[e] + ph.alphab[e] * t + ph.alphac[e] * p;
    // A size that changes with P and T may pass 0 where the file's check of
    // the sizes could not see it.
    ZQCALC2::CHECKSIZE(ph, e, alpha[e], p, t, "calcactivities");
    phi[e] = alpha[e] * ZQUTE1::SUBSTERM(ph.prop[e], x, 1);
    sum += phi[e];
  }
  for (long e = 1; e <= n; ++e) phi[e] /= sum;

  const extended rt = CONST::RGAS * t;
  for (long e = 1; e <= n; ++e) {
    const emtype& em = ph.em[e];
    if (em.exclude) {
      a[e] = 0;
      sda[e] = 0;
      continue;
    }
    const extended aid = idealactivity(ph, em, x);
    // A site fraction of 0: the activity is 0 and has no relative sd; the
    // caller refuses it.
    if (aid == 0) {
      a[e] = 0;
      sda[e] = 0;
      continue;
    }
    extended varid = 0;
    for (long v = 1; v <= ph.nvar; ++v) {
      const extended sd = ph.xvar[v].sd;
      if (!(sd > 0)) continue;
      const extended d = sd * idealslope(ph, em, x, v, aid);
      varid += d * d;
    }
    if (ph.model == axtype::ideal) {
      a[e] = aid;
      sda[e] = std::sqrt(varid);
      continue;
    }
    extended g = 0, varw = 0;
    for (long w = 1; w <= ph.nwpair; ++w) {
      const wpairtype& pr = ph.wpair[w];
      const long j = pr.wj, k = pr.wk;
      const extended q = 2 * alpha[e] * ((e == k ? 1 : 0) - phi[k]) * ((e == j ? 1 : 0) - phi[j]) / (alpha[j] + alpha[k]);
      g -= q * (ph.wa[pr.wpar] + ph.wb[pr.wpar] * t + ph.wc[pr.wpar] * p);
      if (CONTROLJX.justrelu == no) {
        const extended s = q * ph.wsd[pr.wpar];
        varw += s * s;
      }
    }
    a[e] = aid * std::exp(g / rt);
    sda[e] = a[e] * std::sqrt(varw / (rt * rt) + varid / (aid * aid));
  }
}

namespace {

// Everything CALCQ narrows to one phase, and puts back afterwards.
struct calcqsaved {
  smallint debuglevel = 0;
  calcmodetype calcmode = calcmodetype::nlecalc;
  bool modesbynle = false, pseudosection = false;
  smallint nu = 0, nuv = 0, ncv = 0, nne = 0, nr = 0;
  extended fixedp = 0, fixedt = 0;
  std::unique_ptr<icmatrix> c;
  std::unique_ptr<rmatrix> r;
  std::unique_ptr<dsnamelist> name;
  std::unique_ptr<emvector> activity, sdactivity;
  std::unique_ptr<tdmatrix> td;
  farray<makeitype, 1, maxssem> makepos{"calcq makepos"};

  void save(const ptype1& ph) {
    debuglevel = DEBUGLEVEL;
    calcmode = CALCMODE;
    modesbynle = MODESBYNLE;
    pseudosection = PSEUDOSECTION;
    nu = NU;
    nuv = NUV;
    ncv = NCV;
    nne = NNE;
    nr = NR;
    fixedp = FIXEDP;
    fixedt = FIXEDT;
    c = std::make_unique<icmatrix>(*C);
    r = std::make_unique<rmatrix>(*R);
    name = std::make_unique<dsnamelist>(NAME);
    activity = std::make_unique<emvector>(ACTIVITY);
    sdactivity = std::make_unique<emvector>(SDACTIVITY);
    td = std::make_unique<tdmatrix>(*TD);
    for (long e = 1; e <= ph.nprop; ++e) makepos[e] = ph.em[e].makepos;
  }

  void restore(ptype1& ph) const {
    DEBUGLEVEL = debuglevel;
    CALCMODE = calcmode;
    MODESBYNLE = modesbynle;
    PSEUDOSECTION = pseudosection;
    NU = nu;
    NUV = nuv;
    NCV = ncv;
    NNE = nne;
    NR = nr;
    FIXEDP = fixedp;
    FIXEDT = fixedt;
    *C = *c;
    *R = *r;
    NAME = *name;
    ACTIVITY = *activity;
    SDACTIVITY = *sdactivity;
    *TD = *td;
    for (long e = 1; e <= ph.nprop; ++e) ph.em[e].makepos = makepos[e];
  }
};

}  // namespace

bool CALCQ(smallint i, extended p, extended t) {
  ptype1& ph = (*PREC1)[i];
  calcqsaved saved;
  saved.save(ph);
  DEBUGLEVEL = DEBUGLEVELQ;
  CALCMODE = calcmodetype::nlecalc;
  MODESBYNLE = false;
  PSEUDOSECTION = false;

  STARTSS.fill(false);
  EM2SS.fill(0);
  EM2X.fill(0);
  for (sstring& s : NAME) s.clear();
  FIXEDP = p;
  FIXEDT = t;
  NU = KNU;
  NUV = KNUV;
  if (!ph.hasorder) {
    saved.restore(ph);
    IO::ERROREXIT("calcq", "not an OD phase", yourfault);
  }

  const long n = ph.nprop;
  for (long e = 1; e <= n; ++e) {
    NAME[e] = ph.em[e].name;
    for (long c = 1; c <= NUV; ++c) (*C)(c, e) = ph.em[e].comp[c];
  }
  NCV = NNE = static_cast<smallint>(n);
  bool found = false;
  ZQRE::CALCRE2(found);

  X[1] = p;
  X[2] = t;
  BX[1] = BX[2] = false;
  XNAME[1] = "P(kbar)";
  XNAME[2] = std::string("T(") + macroman::degree + "C)";
  STARTSS[1] = true;
  EM2SS[1] = i;
  EM2X[1] = 3;
  for (long e = 1; e <= n; ++e) {
    const emtype& em = ph.em[e];
    for (int s = 1; s <= maxtd; ++s) (*TD)(e, s) = 0;
    const bool made = em.nmake != 0 && !WITHOLDSET;
    const int last = made ? TDSLOT::V : TDSLOT::BWF;
    for (int s = 1; s <= last; ++s) (*TD)(e, s) = em.td[s];
    (*TD)(e, TDSLOT::CODE) = em.td[TDSLOT::CODE];
    if (made) {
      (*TD)(e, TDSLOT::MAKEPHASE) = i;
      (*TD)(e, TDSLOT::MAKEEM) = static_cast<extended>(e);
    }
    NSITE[e] = em.nsite;
  }

  long nq = 0;
  for (long v = 1; v <= ph.nvar; ++v) {
    const xvartype& xv = ph.xvar[v];
    const long k = v + 2;
    XGUESS[k] = xv.guess;
    XNAME[k] = xv.name;
    XFACA[k] = xv.xfaca;
    XFACB[k] = xv.xfacb;
    TYPX[k] = xv.typx;
    INACC1[k] = xv.lowkind;
    INACC2[k] = xv.highkind;
    BX[k] = xv.isorder;
    PXSET[k] = 0;
    if (xv.isorder) ++nq;
  }
  NX = static_cast<smallint>(ph.nvar + 2);
  NISSET = static_cast<smallint>(n - nq);
  for (long k = NX + 1; k <= NX + NP && k <= maxeq; ++k) BX[k] = false;

  auto fail = [&](const std::string& message, faulttype fault) {
    saved.restore(ph);
    IO::ERROREXIT("calcq", message, fault);
  };
  if (NR != nq) fail("no of reactions not equal to no of Qs", yourfault);

  NXVARLIM = 0;
  for (long row = 1; row <= ph.nvarlim; ++row) {
    if (NXVARLIM + 1 > maxxvarlim) fail("too many varlims", yourfault);
    ++NXVARLIM;
    for (long c = 1; c <= NX + 1; ++c) {
      XVARLIMN(NXVARLIM, c) = 0;
      XVARLIMD(NXVARLIM, c) = 1;
    }
    for (long v = 1; v <= ph.nvar; ++v) {
      XVARLIMN(NXVARLIM, v + 2) = ph.varlimn(row, v);
      XVARLIMD(NXVARLIM, v + 2) = ph.varlimd(row, v);
    }
    XVARLIMN(NXVARLIM, NX + 1) = ph.varlimn(row, n);
    XVARLIMD(NXVARLIM, NX + 1) = ph.varlimd(row, n);
  }

  NSFNH = 0;
  if (!ph.allsfsimple) {
    for (long s = 1; s <= ph.nsf; ++s) {
      if (ph.sfsimple[s]) continue;
      if (NSFNH + 1 > maxsfnh) fail("no site fractions not handled too big", myfault);
      ++NSFNH;
      SFNHIP[NSFNH] = i;
      SFNHK[NSFNH] = static_cast<smallint>(s);
      SFNHIX[NSFNH] = 3;
    }
  }

  NXP = 0;
  NXPSS = 0;
  for (long k = 3; k <= NX; ++k) X[k] = BX[k] ? XFACB[k] + XGUESS[k] * XFACA[k] : XGUESS[k];

  smallint code = 0;
  const bool ok = ZQMATH2::NLE(code);
  if (ok) {
    for (long k = 3; k <= NX; ++k)
      if (BX[k]) X[k] = (X[k] - XFACB[k]) / XFACA[k];
    for (long v = 1; v <= ph.nvar; ++v) ph.xvar[v].guess = X[v + 2];
  }
  saved.restore(ph);
  return ok;
}

bool FINDLEGALQ(smallint i, bool solve, extended p, extended t, bool& moved) {
  ptype1& ph = (*PREC1)[i];
  if (!ph.hasorder) IO::ERROREXIT("findlegalq", "not an odd phase", yourfault);
  auto draw = [&ph]() {
    for (long v = 1; v <= ph.nvar; ++v) {
      xvartype& xv = ph.xvar[v];
      if (xv.isorder) xv.guess = xv.low + (xv.high - xv.low) * ZQMATH1::RANDOM();
    }
  };
  bool legal = ZQUTE1::XYZLEGAL(i);
  moved = !legal;
  if (!solve) {
    for (int attempt = 1; attempt <= maxattempts && !legal; ++attempt) {
      draw();
      legal = ZQUTE1::XYZLEGAL(i);
    }
    return legal;
  }
  bool ok = false;
  for (int attempt = 1; attempt <= maxattempts && !ok; ++attempt) {
    if (ZQUTE1::XYZLEGAL(i)) {
      ok = CALCQ(i, p, t);
    } else {
      draw();
      ok = ZQUTE1::XYZLEGAL(i) && CALCQ(i, p, t);
    }
  }
  return ok;
}

void SETSDAPARAMS(bool defaults) {
  if (CALCMODE == calcmodetype::lsqdscalc)
    LSDWP = lsqdsweight;
  else
    LSDWP = CONTROLJX.justrelu == yes ? 0 : weight;
  SDWP = LSDWP;
  ARB = absolutefloor;
  MINSDLNA = relativefloor;
  if (!defaults) IO::PUTSTR(0, "**resetting default uncertainty parameters not currently available", 1, CHANNEL::TERMINAL);
}

void CHECKSDA() {
  // Single precision, as the floor was always worked out.
  const float sdwp = static_cast<float>(SDWP), arb = static_cast<float>(ARB), minsd = static_cast<float>(MINSDLNA);
  for (long j = 1; j <= NCV; ++j) {
    const float a = static_cast<float>(ACTIVITY[j]);
    float s = static_cast<float>(SDACTIVITY[j]);
    const int n = NSITE[j] == 0 ? 1 : NSITE[j];
    if (s < 0) s = 0;
    if (CONTROLJX.usedefsda != no) {
      if (a == 1) {
        s = 0;
      } else {
        const float x = std::pow(a, 1.0f / static_cast<float>(n));
        float sx = 0;
        if (sdwp == 0 || x < arb / sdwp)
          sx = arb;
        else
          sx = sdwp * (1 - x) * (1 - x) * x;
        if (sx < minsd * x) sx = minsd * x;
        const float f = static_cast<float>(n) * a * sx / x;
        if (s < f) s = f;
      }
    }
    SDACTIVITY[j] = s;
  }
}

}  // namespace ZQREAD1
