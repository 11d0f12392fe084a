// The phases of an experiment given with its solution phases: the phase
// tables of the calculation built from the current end-member data, and at
// each bracket the state of order, the activities from the a-x models and
// those of the constituents of made end-members.
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "lsq/lsqds.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

// The caller's calc mode, back on every way out but a fatal stop.
struct modeguard {
  calcmodetype saved = CALCMODE;
  modeguard() { CALCMODE = calcmodetype::nlecalc; }
  ~modeguard() { CALCMODE = saved; }
  modeguard(const modeguard&) = delete;
  modeguard& operator=(const modeguard&) = delete;
};

// Formula and thermodynamic row n of the calculation from end-member e.
void fromrecord(smallint n, const tdrec& e) {
  NOX[n] = e.nform;
  NOOX[n] = 0;
  for (smallint i = 1; i <= e.nform; ++i) {
    OXCODE(n, i) = e.form[i].code;
    OXNO(n, i) = e.form[i].amount;
    NOOX[n] += e.form[i].amount;
  }
  using namespace TDSLOT;
  tdmatrix& td = *TD;
  const bool cv = DSMODE == 7 && e.eqtype >= 3 && e.eqtype <= 5;
  td(n, H) = e.h;
  td(n, S) = e.s;
  td(n, V) = e.v;
  td(n, CPA) = cv ? e.cv1 : e.cpa;
  td(n, CPB) = cv ? e.cv2 : e.cpb;
  td(n, CPC) = cv ? 0 : e.cpc;
  td(n, CPD) = cv ? 0 : e.cpd;
  td(n, ALPHA0) = e.a0;
  td(n, K0) = e.k0;
  td(n, KP) = e.k0p;
  td(n, KPP) = e.k0pp;
  td(n, TDSLOT::THETA) = e.theta;
  td(n, DKDT) = e.dk0dt;
  td(n, TCRIT) = e.tcrit;
  td(n, SMAX) = e.smax;
  td(n, VMAX) = e.vmax;
  td(n, AQ) = e.cpaq;
  td(n, BWDH) = e.bwdh;
  td(n, BWDV) = e.bwdv;
  td(n, BWW) = e.bww;
  td(n, BWWV) = e.bwwv;
  td(n, BWN) = e.bwn;
  td(n, BWF) = e.bwfac;
  td(n, CODE) = DSMODE == 5 ? 0 : e.eqtype;
}

[[noreturn]] void orderfailed(smallint k, smallint b, const sstring& phase) {
  std::string line = "xp = ";
  IO::ADDINT(k, 4, line);
  IO::ADDSTR(", br = ", 0, line);
  IO::ADDINT(b, 3, line);
  IO::ADDSTR(", ", 0, line);
  IO::ADDSTR(phase, 5, line);
  IO::WRITETERMINAL(line + "\n");
  IO::ERROREXIT("calca", "couldn't solve for state of order for " + phase, yourfault);
}

[[noreturn]] void makefailed(const xprec& x, smallint j, smallint q, const ptype1& ph, const emtype& e, smallint m,
                             extended mult, extended aq) {
  std::string line;
  IO::ADDNAME(x.emname[j], 6, line);
  IO::ADDNAME(ph.name, 6, line);
  IO::ADDNAME(e.name, 6, line);
  IO::ADDNAME(e.makename[m], 6, line);
  line += "; mult = ";
  IO::ADDREAL(mult, 2, true, 8, line);
  line += "; a(" + x.emname[q] + ") = ";
  IO::ADDREAL(aq, 4, true, 10, line);
  if (aq > 0) {
    line += "; giving a(" + x.emname[j] + ") = ";
    IO::ADDREAL(std::exp(mult * std::log(aq)), 4, true, 10, line);
  }
  IO::WRITETERMINAL("\ndependent end-member activity not between 0 and 1\n" + line + "\n");
  IO::ERROREXIT("calca", "messed up make a", yourfault);
}

// The state of order of the experiment's order-disorder phases at the
// bracket, solved from the bracket's compositions and kept in them.
void orderstate(smallint k, smallint b) {
  brrec& br = XP(k).br[b];
  smallint c = 0;
  for (smallint ph = 1; ph <= NPSS; ++ph) {
    ptype1& phase = (*PREC1)[ph];
    const smallint nv = phase.nvar;
    if (phase.hasorder) {
      for (smallint v = 1; v <= nv; ++v) phase.xvar[v].guess = br.xyz[c + v];
      bool moved = false;
      if (!ZQREAD1::FINDLEGALQ(ph, true, br.p, br.t, moved)) orderfailed(k, b, phase.name);
      for (smallint v = 1; v <= nv; ++v) br.xyz[c + v] = phase.xvar[v].guess;
    }
    c = static_cast<smallint>(c + nv);
  }
}

// The activity of constituent j of a made end-member from the made one's.
void constituent(xprec& x, brrec& br, smallint j) {
  const ptype1& ph = (*PREC1)[x.emphase[j]];
  const emtype& e = ph.em[x.emno[j]];
  smallint m = e.nmake;
  for (smallint c = 1; c <= e.nmake; ++c)
    if (e.makename[c] == x.emname[j]) {
      m = c;
      break;
    }
  smallint q = x.nem;
  for (smallint i = 1; i <= x.nem; ++i)
    if (x.emname[i] == e.name) {
      q = i;
      break;
    }
  const extended mult = static_cast<extended>(e.makediv) / e.makecoef[m];
  const extended aq = br.act[q];
  if (aq <= 0 || aq >= 1) makefailed(x, j, q, ph, e, m, mult, aq);
  br.act[j] = std::exp(mult * std::log(aq));
}

}  // namespace

smallint SAMEBRACKETAT(smallint j, smallint i, smallint k) {
  const xprec& other = XP(j);
  const smallint id = XP(i).br[k].id;
  if (k <= other.nbr && other.br[k].id == id) return k;
  for (smallint m = 1; m <= other.nbr; ++m)
    if (other.br[m].id == id) return m;
  IO::INTERNALCHECK(false, "samebracket", "a bracket missing from a record of its equilibrium");
  return k;
}

brrec& SAMEBRACKET(smallint j, smallint i, smallint k) { return XP(j).br[SAMEBRACKETAT(j, i, k)]; }

void FILLPREC(smallint k) {
  modeguard guard;
  const xprec& x = XP(k);
  for (long i = 1; i <= ACTIVITY.hi; ++i) ACTIVITY[i] = 1;
  smallint n = 0, np0 = 0, npss = 0;
  for (smallint j = 1; j <= x.nem; ++j) {
    if (x.emact[j] == -2) continue;
    if (x.emact[j] <= 0) {
      ++npss;
      IO::INTERNALCHECK(npss <= workslots, "fillprec", "more solution phases than working slots");
      ptype1& ph = (*PREC1)[npss];
      ph = (*PREC1)[x.emphase[j]];
      for (smallint m = 1; m <= ph.nprop; ++m) {
        ++n;
        const smallint e = x.emds[j + m - 1];
        if (e == 0) {
          NAME[n] = "###";
          NOX[n] = 0;
        } else {
          NAME[n] = ph.em[m].name;
          fromrecord(n, TDA[e]);
        }
        ph.em[m].covrow.fill(0);
      }
      continue;
    }
    ++n;
    ++np0;
    ptype0& pure = (*PREC0)[np0];
    const smallint e = x.emds[j];
    if (e != 0) {
      pure.name = pure.emname = TDA[e].name;
      NAME[n] = TDA[e].name;
      fromrecord(n, TDA[e]);
    }
    pure.covrow.fill(0);
    pure.dqfa = pure.dqfb = pure.dqfc = 0;
    pure.nmake = 0;
    pure.activity = x.emact[j] == 0.5L ? 0 : 1;
    pure.sdactivity = 0;
  }
  NP0 = np0;
  NPSS = npss;
  NP = static_cast<smallint>(np0 + npss);
  NCV = x.nem;
  ZQREAD1::MAKEOXIDES();
  ZQNLE3::MAKEEMC();
  ZQNLE3::MAKEEMTD();
}

void CALCA(smallint k, smallint b) {
  modeguard guard;
  xprec& x = XP(k);
  brrec& br = x.br[b];
  FIXEDT = br.t;
  FIXEDP = br.p;
  orderstate(k, b);
  static eqvector v{"calca x"}, a{"calca a"}, sd{"calca sd"};
  smallint c = 0;
  for (smallint j = 1; j <= x.nem; ++j) {
    if (x.emact[j] == -1) {
      const smallint n = static_cast<smallint>((*PREC1)[x.emphase[j]].nprop);
      for (smallint m = 1; m < n; ++m) v[m] = br.xyz[c + m];
      c = static_cast<smallint>(c + n - 1);
      ZQREAD1::CALCACTIVITIES(x.emphase[j], v, br.p, br.t, a, sd);
      for (smallint m = 1; m <= n; ++m) br.act[j + m - 1] = a[m];
    } else if (x.emact[j] == 0.5L) {
      constituent(x, br, j);
    }
  }
  for (smallint g = 1; g < x.nreac; ++g) {
    brrec& same = SAMEBRACKET(k + g, k, b);
    for (smallint j = 1; j <= x.nem; ++j) same.act[j] = br.act[j];
  }
}

}  // namespace LSQDS
