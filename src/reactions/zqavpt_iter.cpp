// Average P over the T list and average T over the P list, iterated until
// the solution phases' activities agree with the result, with their trace
// rows and summary tables.
#include <cmath>
#include <cstdio>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "model/zqcalc2.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;

namespace ZQAVPT {

namespace {

constexpr longint mask = CHANNEL::TERMSUMLOG;
constexpr smallint MAXPITER = 10;     // iterations of average P
constexpr extended PCONVERGED = 0.0001L;  // kbar between successive averages
constexpr smallint MAXTSTEPS = 20;    // steps of the average-T search
constexpr extended TBRACKETMAX = 200;  // K either side of the start
constexpr extended TBRACKETSDS = 3;   // start sds either side of the start
constexpr extended TAGREE = 2;        // K within which the ends must agree
constexpr extended ACTIVITYBELOW1 = 0.999L;  // what an activity above 1 becomes

// The entry that carries the trace and the report: the upper of two middles.
long middleof(long n) { return n / 2 + 1; }

void incompletecheck(const char* where) {
  if (INCOMPLETE) {
    IO::PUTSTR(1, "an incomplete set of independent reactions has been generated;", 1, mask);
    IO::PUTSTR(0, "vary the run conditions to try and get a complete set...", 1, mask);
    IO::ERROREXIT(where, "incomplete set", yourfault);
  }
  IO::PUTSTR(0, "", 1, mask);
}

std::string heading(const char* what) {
  std::string s = what;
  if (CONTROLJX.runnametext.empty())
    s += " ";
  else
    s += " for " + CONTROLJX.runnametext;
  return s;
}

}  // namespace

void AVPITER(smallint it, extended T, extended X, extended sd, extended sigfit) {
  std::string& w = IO::WSTR;
  if (it == 0) {
    w.clear();
    IO::ADDSTR("avP", 12, w);
    w += std::string(static_cast<std::size_t>(6 * NR + 8), ' ');
    IO::ADDSTR("sd(avP)", 8, w);
    IO::ADDSTR("sigfit", 8, w);
    IO::PUTSTR(0, w, 1, mask);
  }
  w.clear();
  IO::ADDINT(it, 2, w);
  IO::ADDREAL(X, 4, true, 10, w);
  w += " (";
  for (long i = 1; i <= NR; ++i) {
    extended p1 = 0, p2 = 0, sd1 = 0, sd2 = 0, s1 = 0, s2 = 0;
    ZQCALC2::PFIXEDT(static_cast<smallint>(i), p1, p2, sd1, sd2, s1, T, FIXEDXCO2, FIXEDXH2O, s2);
    if (ZQUTE1::INRANGE(p1, findtype::findp))
      IO::ADDREAL(p1, 2, true, 6, w);
    else
      IO::ADDSTR(" ---", 6, w);
    w += i < NR ? ", " : ") ";
  }
  if (X > 0) {
    IO::ADDREAL(sd, 1, true, 8, w);
    IO::ADDREAL(sigfit, 2, true, 8, w);
  }
  IO::PUTSTR(0, w, 1, mask);
}

void AVTITER(smallint it, extended Ttrial, extended P, extended X, extended sd, extended sigfit) {
  std::string& w = IO::WSTR;
  if (it == 0) {
    w.clear();
    IO::ADDSTR("avT", 18, w);
    w += std::string(static_cast<std::size_t>(8 * NR + 2), ' ');
    IO::ADDSTR("sd(avT)", 8, w);
    IO::ADDSTR("sigfit", 12, w);
    IO::PUTSTR(0, w, 1, mask);
  }
  w.clear();
  IO::ADDINT(it, 2, w);
  IO::ADDREAL(Ttrial - CONST::KELVIN, 1, true, 8, w);
  if (X == 0)
    IO::ADDSTR("--", 8, w);
  else
    IO::ADDREAL(X - CONST::KELVIN, 2, true, 8, w);
  w += "  (";
  for (long i = 1; i <= NR; ++i) {
    extended t1 = 0, t2 = 0, sd1 = 0, sd2 = 0, s1 = 0, s2 = 0;
    ZQCALC2::TFIXEDP(static_cast<smallint>(i), t1, t2, sd1, sd2, s1, P, FIXEDXCO2, FIXEDXH2O, s2);
    if (ZQUTE1::INRANGE(t1, findtype::findt))
      IO::ADDREAL(t1 - CONST::KELVIN, 1, true, 6, w);
    else
      IO::ADDSTR(" ---", 6, w);
    w += i < NR ? ", " : ")";
  }
  if (X > 0) {
    IO::ADDREAL(sd, 1, true, 8, w);
    IO::ADDREAL(sigfit, 5, true, 12, w);
  }
  IO::PUTSTR(0, w, 1, mask);
}

void UPDATEACTIVITY(extended P, extended T) {
  long k = 0;
  eqvector x{"updateactivity x"}, a{"updateactivity a"}, sda{"updateactivity sda"};
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& ph = (*PREC1)[i];
    const auto ii = static_cast<smallint>(i);
    if (ph.hasorder) {
      bool moved = false;
      if (!ZQREAD1::FINDLEGALQ(ii, true, P, T, moved))
        IO::ERROREXIT("updateactivity", "couldn't solve for state of order of " + ph.name, yourfault);
    }
    for (long v = 1; v <= ph.nvar; ++v) x[v] = ph.xvar[v].guess;
    ZQREAD1::CALCACTIVITIES(ii, x, P, T, a, sda);
    for (long j = 1; j <= ph.nprop; ++j) {
      if (k >= NCV || NAME[k + 1] != ph.em[j].name) continue;
      // An activity the model cannot give is bad input, as at set-up.
      if (!(a[j] > 0))
        IO::ERROREXIT("updateactivity", "activity negative for " + ph.em[j].name + ", in " + ph.name, yourfault);
      if (a[j] > 1) a[j] = ACTIVITYBELOW1;
      ++k;
      ACTIVITY[k] = a[j];
      SDACTIVITY[k] = sda[j];
    }
  }
  if (k != NCV - NP0) {
    std::fprintf(IO::TERMOUT, "\nk = %3ld, ncv = %3d\n", k, static_cast<int>(NCV));
    IO::ERROREXIT("updateactivity", "does not add up", yourfault);
  }
  ZQCALC2::CALCLNK();
}

void AVERAGEP() {
  incompletecheck("avP");
  listvector X{"avp X"}, sd{"avp sd"}, sf{"avp sigfit"};
  const long mid = middleof(NLT);
  for (long k = 1; k <= NLT; ++k) {
    const extended T = LT[k];
    const bool atmid = k == mid;
    AVV(X[k], sd[k], sf[k], T, FIXEDXCO2, FIXEDXH2O, NPSS > 0);
    if (NPSS <= 0) continue;
    if (atmid) {
      IO::PUTSTR(0, "avP iteration at T = " + IO::INT2STR(T - CONST::KELVIN) + macroman::degree_s + "C ", 1, mask);
      AVPITER(0, T, X[k], sd[k], sf[k]);
    }
    smallint it = 0;
    bool converged = false;
    while (!converged && it < MAXPITER) {
      ++it;
      const extended old = X[k];
      UPDATEACTIVITY(X[k], T);
      AVV(X[k], sd[k], sf[k], T, FIXEDXCO2, FIXEDXH2O, true);
      if (atmid) AVPITER(it, T, X[k], sd[k], sf[k]);
      if (X[k] == 0) IO::ERROREXIT("averagep", "iteration failed", yourfault);
      converged = std::fabs(X[k] - old) < PCONVERGED;
    }
    if (it == MAXPITER)
      IO::PUTSTR(0, "did NOT converge", 1, mask);
    else if (atmid)
      AVV(X[k], sd[k], sf[k], T, FIXEDXCO2, FIXEDXH2O, false);
  }

  std::string& w = IO::WSTR;
  w = heading("Average pressures");
  if (NLT == 1) w += " at T = " + IO::INT2STR(FIXEDT - CONST::KELVIN) + macroman::degree_s + "C ";
  ZQUTE1::FLUIDSTRING(w);
  IO::PUTSTR(1, w, 1, mask);
  if (NLT == 1) {
    const bool ok = X[1] > 0;
    w = "For T = " + IO::INT2STR(LT[1] - CONST::KELVIN) + " " + macroman::degree_s + "C, av P = ";
    if (ok)
      ZQUTE2::WRITEP(X[1], 0, w);
    else
      w += "?";
    w += " kbar, sd = " + (ok ? IO::REAL2STR(sd[1], 2, true) : std::string()) +
         ", sigfit = " + (ok ? IO::REAL2STR(sf[1], 1, true) : std::string());
    IO::PUTSTR(0, w, 1, mask);
    return;
  }
  // The temperatures head their averages, sds and sigfits, in as many
  // blocks as the line's length needs.
  const char* labels[] = {"av P", "sd", "sigfit"};
  IO::PUTTABLE(
      4, NLT,
      [&](long row, std::string& line) {
        IO::ADDSTR(row == 1 ? std::string("T") + macroman::degree_s + "C" : std::string(labels[row - 2]), -7, line);
      },
      [&](long row, long k, std::string& line) {
        if (row == 1) {
          IO::ADDINT(LT[k] - CONST::KELVIN, 8, line);
        } else if (!(X[k] > 0)) {
          IO::ADDSTR(row == 2 ? "?" : "", 8, line);
        } else {
          const extended v = row == 2 ? X[k] : row == 3 ? sd[k] : sf[k];
          IO::ADDREAL(v, row == 2 ? 2 : 3, true, 8, line);
        }
      },
      1, mask);
}

void AVERAGET() {
  incompletecheck("avT");
  listvector X{"avt X"}, sd{"avt sd"}, sf{"avt sigfit"};
  const long mid = middleof(NLP);
  bool updated = false;
  auto update = [&](extended P, extended T) {
    UPDATEACTIVITY(P, T);
    updated = true;
  };
  for (long k = 1; k <= NLP; ++k) {
    const extended P = LP[k];
    if (NPSS <= 0) {
      AVV(X[k], sd[k], sf[k], P, FIXEDXCO2, FIXEDXH2O, true);
      continue;
    }
    const bool atmid = k == mid;
    const std::string ptext = "avT iteration at P = " + IO::REAL2STR(P, 1, true);
    if (atmid)
      IO::PUTSTR(NLP > 1 ? 1 : 0, ptext + " kbar ", 1, mask);
    else
      IO::PUTSTR(k == mid + 1 ? 1 : 0, ptext + " kbar (details not shown)", 1, mask);
    // The set-up's activities hold at FIXEDP and FIXEDT only until the first update.
    if (P != FIXEDP || updated) update(P, FIXEDT);
    extended X0 = 0, sd0 = 0, S0 = 0;
    AVV(X0, sd0, S0, P, FIXEDXCO2, FIXEDXH2O, true);
    if (X0 == 0) {
      AVTITER(0, FIXEDT, P, X0, sd0, S0);
      IO::ERROREXIT("averaget", "can't start", yourfault);
    }
    if (atmid) AVTITER(0, FIXEDT, P, X0, sd0, S0);
    const extended dT = std::min(TBRACKETSDS * sd0, TBRACKETMAX);
    extended Tlo = FIXEDT - dT, Thi = FIXEDT + dT;
    extended Xlo = 0, sdlo = 0, Slo = 0, Xhi = 0, sdhi = 0, Shi = 0;
    update(P, Tlo);
    AVV(Xlo, sdlo, Slo, P, FIXEDXCO2, FIXEDXH2O, true);
    if (Xlo == 0) {
      AVTITER(0, Tlo, P, Xlo, sdlo, Slo);
      IO::ERROREXIT("averaget", "can't start (-)", yourfault);
    }
    if (atmid) AVTITER(1, Tlo, P, Xlo, sdlo, Slo);
    update(P, Thi);
    AVV(Xhi, sdhi, Shi, P, FIXEDXCO2, FIXEDXH2O, true);
    if (Xhi == 0) {
      AVTITER(0, Thi, P, Xhi, sdhi, Shi);
      IO::ERROREXIT("averaget", "can't start (+)", yourfault);
    }
    if (atmid) AVTITER(1, Thi, P, Xhi, sdhi, Shi);
    extended Xm = 0, sdm = 0, Sm = 0;
    bool result = true;
    for (smallint it = 2; it <= MAXTSTEPS; ++it) {
      const extended Tm = 0.5L * (Tlo + Thi);
      update(P, Tm);
      AVV(Xm, sdm, Sm, P, FIXEDXCO2, FIXEDXH2O, true);
      if (atmid) AVTITER(it, Tm, P, Xm, sdm, Sm);
      if (Sm > Slo && Sm > Shi) {
        result = std::fabs(Xlo - Xm) < TAGREE && std::fabs(Xhi - Xm) < TAGREE;
        break;
      }
      if (it == MAXTSTEPS) break;
      bool lowmoves = true;
      if (Sm < Slo && Sm < Shi)
        lowmoves = Slo > Shi;
      else if (Slo < Sm && Sm < Shi)
        lowmoves = false;
      if (lowmoves)
        Tlo = Tm, Xlo = Xm, Slo = Sm;
      else
        Thi = Tm, Xhi = Xm, Shi = Sm;
    }
    if (result) {
      X[k] = Xm, sd[k] = sdm, sf[k] = Sm;
      if (atmid) AVV(X[k], sd[k], sf[k], P, FIXEDXCO2, FIXEDXH2O, false);
    } else {
      X[k] = sd[k] = sf[k] = 0;
    }
  }

  std::string& w = IO::WSTR;
  w = heading("Average temperatures");
  if (NLP == 1) w += " at P = " + IO::REAL2STR(FIXEDP, 1, true) + " kbar";
  ZQUTE1::FLUIDSTRING(w);
  IO::PUTSTR(1, w, 1, mask);
  if (NLP == 1) {
    const bool ok = X[1] > 0;
    w = "For P = " + IO::REAL2STR(LP[1], 1, true) + " kbar, av T = ";
    if (ok)
      IO::ADDREAL(X[1] - CONST::KELVIN, 1, true, 9, w);
    else
      w += "?";
    w += std::string(" ") + macroman::degree_s + "C, sd = ";
    if (ok) IO::ADDREAL(sd[1], 1, true, 9, w);
    w += ", sigfit = ";
    if (ok) w += IO::REAL2STR(sf[1], 2, true);
    IO::PUTSTR(0, w, 1, mask);
    return;
  }
  const char* labels[] = {"av T", "sd", "sigfit"};
  IO::PUTTABLE(
      4, NLP,
      [&](long row, std::string& line) { IO::ADDSTR(row == 1 ? "P" : labels[row - 2], -8, line); },
      [&](long row, long k, std::string& line) {
        if (row == 1)
          IO::ADDREAL(LP[k], 2, true, 9, line);
        else if (!(X[k] > 0))
          IO::ADDSTR(row == 2 ? "?" : "", 9, line);
        else if (row == 2)
          IO::ADDREAL(X[k] - CONST::KELVIN, 1, true, 9, line);
        else if (row == 3)
          IO::ADDREAL(sd[k], 1, true, 9, line);
        else
          IO::ADDREAL(sf[k], 3, true, 9, line);
      },
      1, mask);
}

}  // namespace ZQAVPT
