// The results tables of a fit: the refined end-member properties, the fit
// of the calorimetry, each experiment's brackets against the refined data,
// and the decision to write the new data set.
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"
#include "lsq/lsqds_fields.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

constexpr longint out = CHANNEL::SUMLOG;
constexpr long double notcalculatedt = CONST::KELVIN;  // tcalc when no T was calculated
constexpr long double lowestshownt = 300.0L;           // a tcalc at or below this is shown as not found
constexpr long double lowestmisst = 274.0L;            // a tcalc below this gives no miss in T
constexpr long double intpressure = 99.99L;            // a pressure above this is shown whole
constexpr long double zerolnk = 1e-6L;
constexpr long double smallsdcal = 0.002L;  // a calorimetry sd below this gives no e*
constexpr long double butok = 2.0L;         // within this many sd of a limit is still OK
constexpr long double rfactolerance = 0.01L;

using tablefields::real;
using tablefields::text;
using tablefields::whole;

bool cvtype(const tdrec& e) { return DSMODE == 7 && e.eqtype >= 3 && e.eqtype <= 5; }

void properties() {
  bool anyclassic = false;
  if (DSMODE == 7)
    for (smallint i = 1; i <= NTOT; ++i) anyclassic = anyclassic || TDA[i].eqtype < 3;
  IO::PUTSTR(2, "Thermodynamic properties (units : kJ, K, kbar)", 2, out);
  std::string line = std::string(8, ' ') + text("H", 10) + text("sd(H)", 7) + text("S", 8) + text("V", 8) +
                     text("a", 8) + text("b", 9);
  if (DSMODE == 7)
    line += anyclassic ? std::string(18, ' ') : "";
  else
    line += text("c", 9) + text("d", 9);
  line += text("a0", 7) + text("K0", 8) + text("K0'", 7) + text("K0''", 8) + text("theta", 8) + text("Tc", 7) +
          text("Smax", 7) + text("Vmax", 7);
  IO::PUTSTR(0, line, 1, out);
  for (smallint i = 1; i <= NTP; ++i) {
    const tdrec& e = TDA[i];
    line = text(PHNAMES[i], -8) + real(e.h, 2, 10) + real(e.sdh, 2, 7) + real(1000 * e.s, 2, 8) + real(e.v, 3, 8);
    if (cvtype(e))
      line += real(e.cv1, 4, 8) + real(1e5L * e.cv2, 4, 9) + (anyclassic ? std::string(18, ' ') : "");
    else
      line += real(e.cpa, 4, 8) + real(1e5L * e.cpb, 4, 9) + real(e.cpc, 1, 9) + real(e.cpd, 4, 9);
    line += real(1e5L * e.a0, 2, 7) + real(e.k0, 1, 8) + real(e.k0p, 2, 7) + real(e.k0pp, 4, 8) + real(e.theta, 1, 8);
    if (e.smax > 0) line += real(e.tcrit, 0, 7) + real(1000 * e.smax, 2, 7) + real(e.vmax, 4, 7);
    if (e.bwn > 0.5L)
      line += real(e.bwdh, 2, 7) + real(e.bwdv, 4, 7) + real(e.bww, 2, 7) + real(e.bwwv, 4, 7) + real(e.bwn, 0, 5) +
              real(e.bwfac, 2, 5);
    IO::PUTSTR(0, line, 1, out);
  }
}

// The leverage of row r, blank when a datum has no row.
std::string leverage(smallint r) { return r > 0 ? real((*HAT)[r], 2, 7) : std::string(7, ' '); }

void calorimetry() {
  IO::PUTSTR(2, "Direct calorimetry", 2, out);
  IO::PUTSTR(0, std::string(6, ' ') + text("value", 10) + text("sd", 7) + text("e*", 7) + text("hat", 7), 1, out);
  for (smallint i = 1; i <= NTP; ++i) {
    const tdrec& e = TDA[i];
    if (!(e.sdhcal > 0)) continue;
    std::string line = text(PHNAMES[i], -6) + real(e.hcal, 2, 10) + real(e.sdhcal, 2, 7);
    line += std::fabs(e.sdhcal) >= smallsdcal ? real((e.hcal - e.h) / e.sdhcal, 2, 7) : text("<0>", 7);
    IO::PUTSTR(0, line + leverage(CALROW[i]), 1, out);
  }
  IO::PUTSTR(2, "Oxide calorimetry", 2, out);
  IO::PUTSTR(0,
             std::string(6, ' ') + text("T", 5) + text("H(cal)", 9) + text("sd", 6) + text("H(298)", 9) +
                 text("e*", 7) + text("hat", 7),
             1, out);
  for (smallint i = 1; i <= NOXCAL; ++i) {
    oxcalrec& o = (*OXCAL)[i];
    if (!o.use) continue;
    o.hcalc = 0;
    for (smallint j = 1; j <= o.nterm; ++j) o.hcalc += o.coef[j] * TDA[o.em[j]].h;
    std::string line = text(PHNAMES[o.em[1]], -6) + whole(o.t - CONST::KELVIN, 5) + real(o.hobs, 1, 9) +
                       real(o.sdobs, 1, 6) + real(o.h298, 1, 9);
    line += o.sdobs == 0 ? text("***", 7) : real((o.h298 + o.hcalc) / o.sdobs, 1, 7);
    IO::PUTSTR(0, line + leverage(OXROW[i]), 1, out);
  }
}

// The sd of the reaction's enthalpy from the covariance of the fit.
void reactionenthalpy(xprec& x) {
  x.ch = 0;
  extended s = 0;
  for (smallint j = 1; j <= x.nrx; ++j) {
    x.ch += x.rxcoef[j] * TDA[x.rxem[j]].h;
    for (smallint l = 1; l <= x.nrx; ++l) s += x.rxcoef[j] * (*XX)(x.rxem[j], x.rxem[l]) * x.rxcoef[l];
  }
  x.sdch = x.sdch < 0 || s < 0 ? 0 : std::sqrt(SIG2 * s);
}

std::string status(const xprec& x) {
  if (!x.use) return "   ** NOT USED **";
  if (x.hlow <= x.ch && x.ch <= x.hhigh) return "   within bracket";
  const bool high = x.ch > x.hhigh;
  const extended off = std::fabs(x.ch - (high ? x.hhigh : x.hlow)) / x.sdch;
  return std::string(high ? "   too high " : "   too low ") + (off < butok ? "but OK" : "");
}

// One bracket line of WRITEFULL: bracket k, the next one when it pairs.
struct bracketline {
  const xprec& x;
  brrec& b;
  const brrec* n;  // the next bracket, or none
  bool ppair, tpair, same;
  std::string s;

  extended lnkstar() const { return b.lnk + (x.ch - b.dh) * (n->lnk - b.lnk) / (n->dh - b.dh); }

  void lnk() {
    if (std::fabs(b.lnk) < zerolnk)
      s += text("0", 9) + "   ";
    else if (same)
      s += real(b.lnk, 2, 6) + real(n->lnk, 2, 6);
    else
      s += real(b.lnk, 2, 9) + "   ";
  }
  void xco2() {
    if (x.nofluid)
      s += text("-", 6);
    else if (b.xco2 == 0 || b.xco2 == 1)
      s += text(b.xco2 == 0 ? "0" : "1", 6);
    else
      s += real(b.xco2, 2, 6);
    s += " ";
  }
  void pressure() {
    if (ppair) {
      if (b.p > intpressure)
        s += whole(b.p, 6) + whole(n->p, 6);
      else
        s += real(b.p, 1, 6) + real(n->p, 1, 6);
    } else {
      s += (b.p > intpressure ? whole(b.p, 9) : real(b.p, 1, 9)) + "    ";
    }
  }
  void limits() {
    const extended tc = b.t - CONST::KELVIN;
    if (same) {
      s += real(tc, 0, 9) + "  " + real(b.dh, 2, 9) + real(n->dh, 2, 8);
    } else if (ppair) {
      s += real(tc, 0, 10) + "  " + real(b.dh, 2, 9) + real(n->dh, 2, 8);
    } else if (!b.dir) {
      s += real(tc, 0, 6) + (tpair ? real(n->t - CONST::KELVIN, 0, 5) : text(" ", 5)) + real(b.dh, 2, 9) +
           (tpair ? real(n->dh, 2, 8) : text(" ", 8));
    } else {
      s += text(" ", 5) + real(tc, 0, 6) + text(" ", 9) + real(b.dh, 2, 8);
    }
  }
  // The miss in enthalpy of an equilibrium with its phases.
  std::string groupedmiss() const {
    if (!ppair && !tpair) {
      if ((!b.dir && x.ch < b.dh) || (b.dir && x.ch > b.dh)) return real(x.ch - b.dh, 2, 7);
      return text(" ", 7);
    }
    if (b.dh <= x.ch && x.ch <= n->dh) return text(" ", 7);
    return real(x.ch > n->dh ? x.ch - n->dh : x.ch - b.dh, 2, 7);
  }
  std::string missint(extended d) const { return d != 0 ? whole(d, 7) : text(" ", 7); }
  std::string miss() const {
    if (x.grouped) return groupedmiss();
    const std::string blank = text(" ", 7);
    if (same) {
      const extended ls = lnkstar();
      const extended lo = std::fmin(b.dh, n->dh), hi = std::fmax(b.dh, n->dh);
      if (lo <= x.ch && x.ch <= hi) return blank;
      const bool below = x.ch < lo;
      if (b.dh <= n->dh) return real(below ? b.lnk - ls : ls - n->lnk, 2, 7);
      return real(below ? n->lnk - ls : ls - b.lnk, 2, 7);
    }
    if ((ppair || tpair) && b.dh > n->dh) return text("<>", 7);
    if (ppair) {
      if (b.pcalc == 0) return text("*", 7);
      if (b.dh <= x.ch && x.ch <= n->dh) return blank;
      return real(x.ch > n->dh ? b.pcalc - n->p : b.pcalc - b.p, 2, 7);
    }
    // T calculated; a bracket without a calculated T shows "*" either way.
    if (b.tcalc < lowestmisst) return text("*", 7);
    const extended d = std::round(b.tcalc - b.t);
    if (!b.dir) {
      if (x.ch < b.dh && d != 0) return whole(d, 7);
      if (!tpair) return blank;
      const extended d2 = std::round(b.tcalc - n->t);
      return n->dh < x.ch ? missint(d2) : blank;
    }
    return b.dh < x.ch ? missint(d) : blank;
  }
  std::string pcalc() const { return b.pcalc > 99 ? real(b.pcalc, 1, 7) : real(b.pcalc, 2, 7); }
  std::string calc() const {
    if (x.kind == 2) return text(" ", 7);
    if (ppair) return b.pcalc == 0 ? text("*", 7) : pcalc();
    if (same) return real(lnkstar(), 2, 7);
    if (b.tcalc > lowestshownt) return whole(b.tcalc - CONST::KELVIN, 7);
    // An equilibrium solved with its phases for P at this bracket's T,
    // whose other half has another ln K, so the pair is not shown as one.
    if (b.pcalc != 0) return pcalc();
    return text(x.grouped ? " " : "*", 7);
  }
  std::string twosd() const {
    if (x.grouped) return text(" ", 6);
    if (ppair) return b.sdpcalc <= 0 ? text("*", 6) : real(2 * b.sdpcalc, 2, 6);
    if (same) return real(2 * x.sdch * std::fabs((n->lnk - b.lnk) / (n->dh - b.dh)), 2, 6);
    return b.sdtcalc <= 0 ? text("*", 6) : whole(2 * std::round(b.sdtcalc), 6);
  }
};

std::string rfactext(extended r) {
  const extended whole = std::round(r);
  return std::fabs(r - whole) <= rfactolerance ? IO::INT2STR(whole) : IO::REAL2STR(r, 2, true);
}

std::string summary(const xprec& x) {
  std::string s = "(" + real(x.hlow, 2, 0) + " <-> " + real(x.hhigh, 2, 0) + ")" + ", uH = " + real(x.uh, 2, 0) +
                  ", " + "d/s = " + real(x.dsratio, 1, 0) + ", h = " + real((*HAT)[NEO + x.row], 2, 0);
  if (std::fabs(x.rfac - 1) > rfactolerance) s += ", r = " + rfactext(x.rfac);
  return s;
}

// The heading of an equilibrium given with its phases, and its solve at
// every bracket with the refined data.
void groupresults(smallint i) {
  const xprec& x = XP(i);
  IO::PUTSTR(1, std::string(65, '-'), 1, out);
  XPLABEL.clear();
  for (smallint k = 1; k <= x.nem; ++k) {
    if (x.emact[k] == 0.5L) continue;
    if (x.emact[k] > 0)
      XPLABEL += x.emname[k] + " ";
    else if (x.emact[k] == -1)
      XPLABEL += SSNAME[x.emphase[k]] + " ";
  }
  std::string head = x.kind == 1 ? "univariant involving " : "divariant involving ";
  head += XPLABEL + (x.unknowncomps ? " (unknown comps) " : "") + " (" + x.label + ")";
  IO::PUTSTR(0, head, 1, out);
  XPLABEL += " (" + x.label + ")";
  FILLPREC(i);
  CALCASS(i, x.unknowncomps ? 2 : (x.kind == 2 ? 3 : 2), true);
  for (smallint j = i; j < i + x.nreac; ++j)
    for (smallint b = 1; b <= XP(j).nbr; ++b) XP(j).br[b].sdtcalc = XP(j).br[b].sdpcalc = 0;
}

}  // namespace

void WRITEFULL(smallint ixp) {
  SAMEPTXW(ixp);
  xprec& x = XP(ixp);
  MAKECDHYDROUS = x.crdhydrous;
  if (!x.use && CONTROLDS.printomit == no) return;
  IO::PUTSTR(1, std::string(x.grouped ? 32 : 65, '-'), 1, out);
  std::string title = x.use ? IO::INT2STR(x.row) + ") " + IO::INT2STR(GIXPW) : "*  " + IO::INT2STR(GIXPW);
  title += x.grouped ? " ^  " : "  ";
  title += IO::TRIMSTRING(x.rxtext) + "   (" + IO::TRIMSTRING(x.label) + ")";
  IO::PUTSTR(0, title, 2, out);
  std::string head = text("ln_K", 9) + text("x(CO2)", 11) + text("P(kbar)", 10) + "  " + text("T(C)", 9) + "  " +
                     text("H(low)", 9) + text("H(high)", 8) + text("miss", 7);
  if (x.kind == 2)
    head += std::string(13, ' ');
  else if (x.kind == 1)
    head += text("calc", 7) + std::string(6, ' ');
  else
    head += text("calc", 7) + text("2sd", 6);
  head += "   cH =  " + real(x.ch, 2, 0) + " (sd  " + real(x.sdch, 2, 0) + ")" + status(x);
  IO::PUTSTR(0, head, 1, out);
  bool first = true;
  for (smallint k = 1; k <= x.nbr; ++k) {
    brrec& b = x.br[k];
    if (b.pairp || b.pairt || b.pairall) continue;
    const brrec* n = k < x.nbr ? &x.br[k + 1] : nullptr;
    bracketline l{x, b, n, n && n->pairt && !n->pairp, n && n->pairp, n && n->pairall, ""};
    if (!x.grouped) {
      if (l.ppair)
        CALCP(ixp, k, b.pcalc, b.sdpcalc);
      else if (!l.same)
        CALCT(ixp, k, b.tcalc, b.sdtcalc);
    }
    l.lnk();
    l.xco2();
    l.pressure();
    l.limits();
    l.s += l.miss() + l.calc() + l.twosd() + "   ";
    if (first && x.use) l.s += summary(x);
    first = false;
    IO::PUTSTR(0, l.s, 1, out);
  }
}

void OUTXY() {
  FROMOUTXY = true;
  NOTCONV = 0;
  properties();
  calorimetry();
  IO::PUTSTR(2, std::string(20, '_'), 1, out);
  IO::PUTSTR(0, "Experimental results", 1, out);
  for (smallint i = 1; i <= NXPW; ++i) {
    GIXPW = i;
    xprec& x = XP(i);
    reactionenthalpy(x);
    MAKECDHYDROUS = x.crdhydrous;
    if (!x.grouped) {
      for (smallint b = 1; b <= x.nbr; ++b) {
        x.br[b].tcalc = notcalculatedt;
        x.br[b].pcalc = x.br[b].sdtcalc = x.br[b].sdpcalc = 0;
      }
    } else if (x.ireac == 1) {
      groupresults(i);
    }
    x.rxtext = MAKERELINE(x.rxcoef, x.rxem, x.nrx);
    WRITEFULL(i);
  }
  if (NOTCONV > 0)
    IO::ERROREXIT("writing dataset", "some \"not converged\" present (dataset not written)", yourfault);
  WRITETHERMODATA();
}

}  // namespace LSQDS
