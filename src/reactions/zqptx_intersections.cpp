// The intersections of calc mode 3: each candidate's crossings found,
// refined and, inside the window, printed with their Schreinemakers table
// and, on P-T diagrams, their uncertainty.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_refinder.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_pseudo.h"
#include "reactions/zqptx.h"

using namespace ZQGLOBAL;
using IO::WSTR;

namespace ZQPTX {

namespace {

constexpr extended VERTICAL = 1e20L;    // slope of a vertical or undefined line
constexpr extended SLOPEZERO = 1e-10L;  // a slope printed as "0"
constexpr extended SLOPEMARK = 1e19L;   // a slope printed as the degree mark
constexpr extended SORTSTART = 1e30L;
constexpr extended XSTEP = 0.01L, XEDGE = 0.02L, LNASTEP = 0.01L, MUSTEP = 0.1L;
constexpr extended PARALLEL = 1e-9L;    // lines this near parallel tell nothing of each other's sides

std::string R1(extended v, smallint d) { return IO::REAL2STR(v, d, true); }
std::string RN(extended v) { return IO::REAL2STR(v, IO::NPLACES(v), true); }
std::string degC() { return std::string(macroman::degree_s) + "C"; }
std::string mu() { return std::string(1, macroman::micro); }
std::string lnaword() { return CONTROLJX.setloga == yes ? "log a(" : "ln a("; }
std::string Tc(extended t) { return IO::INT2STR(t - CONST::KELVIN); }

void put(smallint before, const std::string& s, smallint after) { IO::PUTSTR(before, s, after, CHANNEL::TERMSUMLOG); }

smallint listcount() {
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      switch (CALCVARIABLE) {
        case calcvariabletype::calcpressure: return NLT;
        case calcvariabletype::calctemperature: return NLP;
      }
      IO::ERROREXIT("intersections", "unknown calcvariable", myfault);
    case diagramtype::pxcalc:
    case diagramtype::txcalc: return NLX;
    case diagramtype::plnacalc:
    case diagramtype::tlnacalc: return NLLNA[1];
    case diagramtype::pmucalc:
    case diagramtype::tmucalc: return NLMU[1];
  }
  IO::ERROREXIT("intersections", "unknown diagrammode", myfault);
}

void thelist(farray<extended, 1, maxlistvalues>& X) {
  switch (OTHERVARIABLE) {
    case othervariabletype::fixedpressure: X = LP; return;
    case othervariabletype::fixedtemperature: X = LT; return;
    case othervariabletype::fixedmolefractionCO2: X = LXCO2; return;
    case othervariabletype::fixedlnactivity:
      for (long i = 1; i <= maxlistvalues; ++i) X[i] = LLNA(1, i);
      return;
    case othervariabletype::fixedchemicalpotential:
      for (long i = 1; i <= maxlistvalues; ++i) X[i] = LMU(1, i);
      return;
  }
  IO::ERROREXIT("intersections", "othervariable", myfault);
}

void headings() {
  const std::string& name = CONTROLJX.runnametext;
  const std::string forname = name.empty() ? "" : " for " + name;
  std::string t, win;
  smallint before = 0;
  const std::string pwin = "window : P " + R1(PLOW, 1) + " <-> " + R1(PHIGH, 1) + " kbars; ";
  const std::string twin = "window : T " + Tc(TLOW) + " <-> " + Tc(THIGH) + degC() + "; ";
  const std::string xwin = "x(CO2) " + RN(XCO2LOW) + " <-> " + RN(XCO2HIGH);
  const std::string awin = lnaword() + LNANAMEP[1] + ") " + RN(LNALOW) + " <-> " + RN(LNAHIGH);
  const std::string mwin = mu() + "(" + MUNAME[1] + ") " + RN(MULOW) + " <-> " + RN(MUHIGH);
  const std::string atT = " : T = " + Tc(FIXEDT) + degC();
  const std::string atP = " : P = " + R1(FIXEDP, 1) + " kbar";
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      t = "P-T of intersections" + forname;
      ZQUTE1::FLUIDSTRING(t);
      win = pwin + "T " + Tc(TLOW) + " <-> " + Tc(THIGH) + degC();
      break;
    case diagramtype::pxcalc: t = "P-x(CO2)  of intersections" + forname + atT, win = pwin + xwin; break;
    case diagramtype::txcalc:
      t = "T-x(CO2)  of intersections" + forname + atP, win = twin + xwin;
      before = 1;
      break;
    case diagramtype::plnacalc:
      t = "P-x(" + LNANAMEP[1] + ")  of intersections" + (name.empty() ? " " : forname) + atT;
      win = pwin + awin;
      break;
    case diagramtype::tlnacalc: t = "T-a(" + LNANAMEP[1] + ")  of intersections" + forname + atP, win = twin + awin; break;
    case diagramtype::pmucalc: t = "P-" + mu() + "(" + MUNAME[1] + ")  of intersections" + forname + atT, win = pwin + mwin; break;
    case diagramtype::tmucalc: t = "T-" + mu() + "(" + MUNAME[1] + ")  of intersections" + forname + atP, win = twin + mwin; break;
  }
  put(before, t, 1);
  put(0, win, 1);
  if (NE > 0) {
    std::string ex = "in excess : ";
    for (long e = NNE + 1; e <= NCV; ++e) ex += NAME[e] + " ";
    put(0, ex, 1);
  }
}

// One printed intersection: its candidate, reactions and point.
struct intersection {
  smallint i = 0;                          // candidate number
  smallint n = 0;                          // its reactions
  farray<smallint, 1, maxintreactions> rn{};
  extended x = 0, y = 0;
  bool stable = false;

  extended solveat(smallint r, extended P, extended T, extended xco2, extended xh2o) const {
    extended y1 = 0, y2 = 0, dV1 = 0, dV2 = 0, d1 = 0, d2 = 0;
    if (DIAGRAMMODE == diagramtype::pxcalc || DIAGRAMMODE == diagramtype::plnacalc ||
        DIAGRAMMODE == diagramtype::pmucalc) {
      y1 = P;
      ZQCALC2::PCALC(r, true, y1, y2, dV1, dV2, T, xco2, xh2o, d1, d2);
    } else {
      y1 = T;
      ZQCALC2::TCALC(r, true, y1, y2, dV1, dV2, P, xco2, xh2o, d1, d2);
    }
    return y1;
  }

  static extended quotient(extended step, extended a, extended b) {
    if (a > VERTICAL || b > VERTICAL) return 0;
    if (a == b) return VERTICAL;
    return step / (b - a);
  }

  // A line that leaves the step's reach (it turns back within the step)
  // keeps its local slope, on the scale of the quotients of the others.
  static extended localslope(const affinityslope& g, extended scale) {
    if (g.dx == 0 || !std::isfinite(g.dx) || !std::isfinite(g.dy)) return VERTICAL;
    return -scale * g.dy / g.dx;
  }

  extended slope(smallint r, extended P, extended T, extended xco2, extended xh2o, extended lna, extended muv) const {
    switch (DIAGRAMMODE) {
      case diagramtype::ptcalc: {
        extended dV = 0, dGdT = 0, dmu = 0;
        ZQCALC1::CALCDMU(r, dV, dGdT, dmu, P, T, xco2, xh2o);
        return dV == 0 ? VERTICAL : -dGdT / dV;
      }
      case diagramtype::pxcalc:
      case diagramtype::txcalc: {
        const bool h = H2OPOS > 0 && (*R)(r, H2OPOS) != 0, c = CO2POS > 0 && (*R)(r, CO2POS) != 0;
        if (!h && !c) return VERTICAL;
        const extended step = xco2 < XEDGE ? xco2 / 2 : xco2 > 1 - XEDGE ? -(1 - xco2) / 2 : XSTEP;
        const extended a = solveat(r, P, T, xco2, xh2o);
        const extended b = solveat(r, P, T, xco2 + step, xh2o - step);
        if (a > VERTICAL || b > VERTICAL) return localslope(AFFINITYAT(r, x, y), 2);
        return quotient(2 * step, a, b);
      }
      case diagramtype::plnacalc:
      case diagramtype::tlnacalc: {
        if (LNAPOS <= 0 || (*R)(r, LNAPOS) == 0) return VERTICAL;
        ZQCALC2::SETLNAPSEUDO(lna);
        const extended a = solveat(r, P, T, xco2, xh2o);
        ZQCALC2::SETLNAPSEUDO(lna + LNASTEP);
        const extended b = solveat(r, P, T, xco2, xh2o);
        if (a > VERTICAL || b > VERTICAL) return localslope(AFFINITYAT(r, x, y), 1);
        return quotient(LNASTEP, a, b);
      }
      case diagramtype::pmucalc:
      case diagramtype::tmucalc: {
        if (MUPOS <= 0 || (*R)(r, MUPOS) == 0) return VERTICAL;
        ZQCALC2::SETMUPSEUDO(muv);
        const extended a = solveat(r, P, T, xco2, xh2o);
        ZQCALC2::SETMUPSEUDO(muv + MUSTEP);
        const extended b = solveat(r, P, T, xco2, xh2o);
        if (a > VERTICAL || b > VERTICAL) return localslope(AFFINITYAT(r, x, y), 1);
        return quotient(MUSTEP, a, b);
      }
    }
    IO::ERROREXIT("printheader", "unknown diagrammode", myfault);
  }

  // Which halves of the line of the candidate's k-th reaction, below and
  // above the point along the calculated variable, are stable: on a half
  // the reaction is metastable when another of the candidate's reactions,
  // sharing its end-members, has there its side of higher Gibbs energy made
  // of the reaction's own end-members. Along the line's tangent t the
  // affinity of reaction j goes as g_j . t, so its sign on each half needs
  // no point found on the line (which may turn back within any step).
  // False when the line's direction cannot be told.
  bool sides(smallint k, const std::vector<affinityslope>& grad, bool& low, bool& high) const {
    extended ty = grad[k].dx, tx = -grad[k].dy;
    if (!std::isfinite(ty) || !std::isfinite(tx) || (ty == 0 && tx == 0)) return false;
    // The upper half; a line along the list variable has its upper half towards higher x.
    if (ty < 0 || (ty == 0 && tx < 0)) ty = -ty, tx = -tx;
    const IO::longint3& rk = RBIT[rn[k]];
    for (int half = 0; half < 2; ++half) {
      bool stable = true;
      for (smallint j = 1; j <= n && stable; ++j) {
        const IO::longint3& rj = RBIT[rn[j]];
        if (j == k || !BSHARE3(rj, rk) || BWITHIN3(rj, rk)) continue;
        const extended a = grad[j].dy * ty, b = grad[j].dx * tx;
        const extended along = (half == 0 ? -1 : 1) * (a + b);
        if (!std::isfinite(along) || std::fabs(a + b) <= PARALLEL * (std::fabs(a) + std::fabs(b))) continue;
        IO::longint3 side;
        IO::BCLEAR2(side);
        for (smallint e = 1; e <= NNE; ++e) {
          const smallint c = (*R)(rn[j], e);
          if (along >= 0 ? c > 0 : c < 0) IO::BSET2(side, e);
        }
        if (IO::BSUBSET2(side, rk)) stable = false;
      }
      (half == 0 ? low : high) = stable;
    }
    return true;
  }

  void PRINTHEADER() {
    bemvector used{};
    for (smallint k = 1; k <= n; ++k)
      for (long e = 1; e <= NCV; ++e)
        if ((*R)(rn[k], e) != 0) used[e] = true;
    const sstring keep = LNAPOS > 0 ? NAME[LNAPOS] : sstring();
    if (LNAPOS > 0) NAME[LNAPOS] = LNANAMEP[1];

    put(0, std::string(58, '-'), 1);
    std::string t = stable ? "# stable intersection " : "metastable intersection ";
    t += IO::INT2STR(i) + " involving ";
    std::string names, unused;
    for (long e = 1; e <= NNE; ++e) {
      if (used[e]) names += (names.empty() ? "" : " ") + NAME[e];
      else unused += (unused.empty() ? "" : ",") + NAME[e];
    }
    t += names;
    if (NE > 0) {
      t += " + (";
      for (long e = NNE + 1; e <= NCV; ++e) t += NAME[e] + (e < NCV ? " " : "");
      t += ")";
    }
    if (!unused.empty()) {
      IO::ADDSTR(" or [", 6, t);
      t += unused + "]";
    }
    put(0, t, 1);
    if (stable) table(used);
    if (LNAPOS > 0) NAME[LNAPOS] = keep;
  }

  void table(bemvector used) {
    if (LNAPOS > 0 && (DIAGRAMMODE == diagramtype::plnacalc || DIAGRAMMODE == diagramtype::tlnacalc))
      used[LNAPOS] = false;
    if (MUPOS > 0 && (DIAGRAMMODE == diagramtype::pmucalc || DIAGRAMMODE == diagramtype::tmucalc))
      used[MUPOS] = false;
    extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, muv = 0;
    SETIPTX(P, T, xco2, xh2o, lna, muv, x, y);
    std::vector<extended> sl(n + 1);
    std::vector<std::vector<long>> absent(n + 1);
    std::vector<std::string> label(n + 1);
    for (smallint k = 1; k <= n; ++k) {
      const smallint r = rn[k];
      ZQCALC2::TURNREACTION(r, P, T, xco2, xh2o, lna, muv);
      sl[k] = slope(r, P, T, xco2, xh2o, lna, muv);
      label[k] = "[";
      for (long e = 1; e <= NNE; ++e)
        if (used[e] && (*R)(r, e) == 0) {
          if (!absent[k].empty()) label[k] += ",";
          absent[k].push_back(e);
          label[k] += NAME[e];
        }
      label[k] += "]";
    }
    // Off the P-T plane each side is read from the affinities themselves.
    std::vector<affinityslope> grad(n + 1);
    if (DIAGRAMMODE != diagramtype::ptcalc)
      for (smallint k = 1; k <= n; ++k) grad[k] = AFFINITYAT(rn[k], x, y);
    std::vector<smallint> order;
    std::vector<bool> placed(n + 1, false);
    for (smallint p = 1; p <= n; ++p) {
      extended best = SORTSTART;
      smallint kbest = 0;
      for (smallint k = 1; k <= n; ++k)
        if (!placed[k] && sl[k] < best) best = sl[k], kbest = k;
      if (kbest == 0)  // slopes not below the start value keep their candidate order
        for (smallint k = 1; k <= n && kbest == 0; ++k)
          if (!placed[k]) kbest = k;
      placed[kbest] = true;
      order.push_back(kbest);
    }
    static const char* titles[7][3] = {{"low T", "high T", "dp/dt"},   {"low P", "high P", "dx/dp"},
                                       {"low T", "high T", "dx/dt"},   {"low P", "high P", "dlna/dp"},
                                       {"low T", "high T", "dlna/dt"}, {"low P", "high P", "dmu/dp"},
                                       {"low T", "high T", "dmu/dt"}};
    std::string h = IO::BLANKSTRING(66);
    for (const char* s : titles[static_cast<int>(DIAGRAMMODE)]) IO::ADDSTR(s, 10, h);
    put(0, h, 1);
    const smallint cnt = static_cast<smallint>(order.size());
    for (smallint p = 0; p < cnt; ++p) {
      const smallint k = order[p];
      const smallint j = sl[k] >= 0 ? order[(p + 1) % cnt] : order[(p + cnt - 1) % cnt];
      const bool flip = (0 < sl[j] && sl[j] < sl[k]) || (sl[j] < 0 && sl[k] < sl[j]);
      std::size_t c = 0;
      for (long e : absent[k]) {
        const smallint coef = (*R)(rn[j], e);
        if (flip ? coef < 0 : coef > 0) ++c;
      }
      bool low = c != 0, high = c == 0 || c != absent[k].size();
      if (DIAGRAMMODE != diagramtype::ptcalc) {
        bool l = false, hh = false;
        if (sides(k, grad, l, hh) && (l || hh)) low = l, high = hh;
      }
      // A reaction text too long for the line leaves the rest of its row
      // to the next, under the heading's columns.
      const std::string text = STRIPN(RLINES[rn[k]]);
      const extended s = sl[k];
      IO::PUTROW(
          0, "", 5,
          [&](long f, std::string& line) {
            if (f == 1)
              IO::ADDSTR(text, -50, line);
            else if (f == 2)
              IO::ADDNAME(label[k], 16, line);
            else if (f == 3)
              IO::ADDSTR(low ? "stable" : "", 10, line);
            else if (f == 4)
              IO::ADDSTR(high ? "stable" : "", 10, line);
            else if (std::fabs(s) < SLOPEZERO)
              IO::ADDSTR("0", 10, line);
            else if (std::fabs(s) > SLOPEMARK)
              IO::ADDSTR(macroman::degree_s, 10, line);
            else
              IO::ADDREAL(s, 3, false, 10, line);
          },
          p + 1 == cnt ? 2 : 1, CHANNEL::TERMSUMLOG, "", std::string(50, ' '));
    }
  }

  void result(extended sdp, extended sdt, extended cor) const {
    extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, muv = 0;
    SETIPTX(P, T, xco2, xh2o, lna, muv, x, y);
    std::string WP, WT;
    ZQUTE2::WRITEP(P, 0, WP);
    ZQUTE2::WRITET(T - CONST::KELVIN, 0, WT);
    const std::string deg = macroman::degree_s;
    std::string line;
    switch (DIAGRAMMODE) {
      case diagramtype::ptcalc:
        line = "P = " + WP + " kbar (sd = " + R1(sdp, 1) + "), T = " + WT + " " + deg + "C (sd = " + IO::INT2STR(sdt) +
               "), (cor = " + R1(cor, 3) + ")";
        break;
      case diagramtype::pxcalc: line = "P = " + WP + " kbar, x(CO2) = " + IO::REAL2STR(xco2, 3, false); break;
      case diagramtype::txcalc: line = "T = " + WT + " " + deg + "C , x(CO2) = " + IO::REAL2STR(xco2, 3, false); break;
      case diagramtype::plnacalc: line = "P = " + WP + "kbar ," + lnaword() + LNANAMEP[1] + ") = " + R1(lna, 2); break;
      case diagramtype::tlnacalc:
        line = "T = " + WT + " " + deg + "C," + lnaword() + LNANAMEP[1] + ") = " + R1(lna, 2);
        break;
      case diagramtype::pmucalc: line = "P = " + WP + "kbar ," + mu() + "(" + MUNAME[1] + ") = " + R1(muv, 2); break;
      case diagramtype::tmucalc:
        line = "T = " + WT + " " + deg + "C," + mu() + "(" + MUNAME[1] + ") = " + R1(muv, 2);
        break;
    }
    put(0, line, 1);
  }
};

// The in-window test of a refined point, each coordinate against its own window.
bool inwindow(extended x, extended y) {
  findtype fx = findtype::findt, fy = findtype::findp;
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      if (CALCVARIABLE == calcvariabletype::calctemperature) fx = findtype::findp, fy = findtype::findt;
      break;
    case diagramtype::pxcalc: fx = findtype::findxco2, fy = findtype::findp; break;
    case diagramtype::txcalc: fx = findtype::findxco2, fy = findtype::findt; break;
    case diagramtype::plnacalc: fx = findtype::findlna, fy = findtype::findp; break;
    case diagramtype::tlnacalc: fx = findtype::findlna, fy = findtype::findt; break;
    case diagramtype::pmucalc: fx = findtype::findmu, fy = findtype::findp; break;
    case diagramtype::tmucalc: fx = findtype::findmu, fy = findtype::findt; break;
  }
  return ZQUTE1::INRANGE(x, fx) && ZQUTE1::INRANGE(y, fy);
}

}  // namespace

std::string STRIPN(const std::string& s) {
  std::string out;
  for (std::size_t p = 0; p < s.size(); ++p) {
    const char c = s[p];
    const bool digit = c >= '0' && c <= '9';
    if (digit && p >= 4 && s[p - 1] != 'H' && s[p - 1] != 'O') continue;
    out += c;
  }
  return out;
}

void INTERSECTIONS() {
  const smallint N = listcount();
  headings();
  brvector involved{};
  smallint printed = 0;
  auto cs = std::make_unique<crossings>();
  farray<extended, 1, maxlistvalues> X{};
  thelist(X);
  for (smallint i = 1; i <= NINT; ++i) {
    const smallint n = NIR[i];
    if (n > maxintreactions)
      IO::ERROREXIT("intersections", "too many reactions in intersection" + ZQUTE1::MAXSTR(maxintreactions), myfault);
    intersection it;
    it.i = i;
    it.n = n;
    for (smallint k = 1; k <= n; ++k) it.rn[k] = IR(i, k);
    cs->LOAD(n, it.rn, N, X);
    bool found = false;
    ENLARGEWINDOW(CALCVARIABLE);
    cs->CROSSOVER(found);
    RESTOREWINDOW(CALCVARIABLE);
    if (!found) continue;
    for (;;) {
      // Every refinement follows its lines into the widened window, as the search for them did.
      bool converged = false;
      ENLARGEWINDOW(CALCVARIABLE);
      cs->CALCPTX(it.x, it.y, found, converged);
      RESTOREWINDOW(CALCVARIABLE);
      if (!found) break;
      if (!inwindow(it.x, it.y)) continue;
      if (cs->offline || !cs->unsettled.empty()) {
        cs->UNSETTLED(cs->offline ? "the point found is not on its lines" : cs->unsettled);
        continue;
      }
      ++printed;
      it.stable = ISTABLE(i, it.x, it.y);
      it.PRINTHEADER();
      extended sdp = 0, sdt = 0, cor = 0;
      INTERSECTIONPTX(it.rn[cs->lk[1]], it.rn[cs->lk[2]], it.x, it.y, sdp, sdt, cor);
      it.result(sdp, sdt, cor);
      for (smallint k = 1; k <= n; ++k) involved[it.rn[k]] = true;
    }
  }
  if (printed == 0) put(1, "sorry, none in the window", 1);
  RSTABLE(involved);
}

}  // namespace ZQPTX
