// A Monte Carlo series: its set-up (filter numbers, the parameters' phases,
// model values and labels, the Gaussian widths, the lists of the drawing
// data file) and each run's draws written into the a-x models.
#include <cmath>
#include <string_view>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal_script.h"
#include "frame/zqmath1.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr extended leastmcit = 1e-8L;        // a run count below this is none
constexpr extended leastuniform = 1e-10L;     // the smallest uniform number the normal deviate takes
constexpr extended twopi = 6.28319L;          // the angle factor of the deviate, as the series has always used
constexpr smallint rangetermbreak = 6;        // function terms per line of a range's list
constexpr smallint functermbreak = 8;         // terms per line of a function's list
constexpr smallint filterbreak = 8;           // filter entries per line of a point's list

constexpr smallint functionflag = -2;  // the parameter follows a function of ranges

const std::string quote = "\"";

std::string fixed(extended x, smallint places) { return IO::REAL2STR(x, places, true); }

// The term letter of a parameter.
std::string abcletter(smallint abc) {
  if (abc < 1 || abc > 3) IO::ERROREXIT("domontecarlo", "bad abc code", yourfault);
  return std::string(1, static_cast<char>('a' + abc - 1));
}

// The place of W parameter number w in the pair order (1,2), (1,3) ..
// (1,n), (2,3) .. of n end-members.
void pairof(smallint w, smallint n, smallint& i, smallint& j) {
  smallint k = 0;
  for (i = 1; i < n; ++i)
    for (j = static_cast<smallint>(i + 1); j <= n; ++j)
      if (++k == w) return;
  i = j = 0;
}

// The model value a parameter acts on in phase p, at position pos.
extended& modelvalue(ptype1& p, smallint kind, smallint pos, smallint abc) {
  switch (kind) {
    case wkind:
      return (abc == 1 ? p.wa : abc == 2 ? p.wb : p.wc)[pos];
    case asymkind:
      return (abc == 1 ? p.alphaa : abc == 2 ? p.alphab : p.alphac)[pos];
    case dqfkind:
      return p.em[pos].td[abc];
    default:
      IO::ERROREXIT("domontecarlo", "bad variable code", yourfault);
  }
}

// Whether text reads head, then name, then ")": compared in place, as a
// Monte Carlo try looks every parameter up in every phase.
bool namedas(const std::string& text, std::string_view head, const std::string& name) {
  return text.size() == head.size() + name.size() + 1 && text.compare(0, head.size(), head) == 0 &&
         text.compare(head.size(), name.size(), name) == 0 && text.back() == ')';
}

// The position in phase p of the parameter named as m names it, 0 when the
// phase does not have it (a model reduced so that it is gone).
smallint findparameter(const ptype1& p, const mctype& m) {
  if (m.kind == wkind) {
    for (smallint w = 1; w <= p.nw; ++w)
      if (p.wname[w] == m.parname) return w;
    return 0;
  }
  const std::string_view head = m.kind == asymkind ? "a(" : "DQF(";
  for (smallint e = 1; e <= p.nprop; ++e)
    if (namedas(m.parname, head, p.em[e].name)) return e;
  return 0;
}

}  // namespace

extended dqfterm(const mctype& m) {
  const emtype& em = (*PREC1)[m.phasepos[1]].em[m.parpos];
  return m.abc == 1 ? em.dqfa : m.abc == 2 ? em.dqfb : em.dqfc;
}

extended dqfrow(const mctype& m, extended value) {
  const extended d = value - m.orig;
  return m.tdorig + (m.abc == 2 ? -d : d);
}

extended solvestate::GAUSSIAN(extended mean, extended sd) {
  extended u1 = ZQMATH1::RANDOM();
  if (u1 < leastuniform) u1 = leastuniform;
  const extended u2 = ZQMATH1::RANDOM();
  return mean + sd * std::sqrt(-2 * std::log(u1)) * std::cos(twopi * u2);
}

void solvestate::FINDFILTERCODES(const std::string& where) {
  for (long b = 1; b <= NBATCH; ++b) {
    batchtype& item = BATCHINFO[b];
    for (long pt = 1; pt <= item.npt; ++pt) {
      for (long f = 1; f <= item.nfilter[pt]; ++f) {
        filtertype& flt = item.filter(pt, f);
        if (flt.code >= 1) continue;
        if (flt.name == "P") {
          flt.code = 1;
        } else if (flt.name == "T") {
          flt.code = 2;
        } else {
          smallint k = 2;
          for (long i = 1; i <= NPSS; ++i) {
            if (!ITEMPHASE(item, i)) continue;
            const ptype1& p = (*PREC1)[i];
            for (long v = 1; v <= p.nvar; ++v) {
              ++k;
              if (p.xvar[v].name == flt.name) flt.code = k;
            }
          }
        }
        if (flt.code < 1) IO::ERROREXIT(where, "unrecognised variable name", yourfault);
      }
      ONEFILTERPERVARIABLE(item, static_cast<smallint>(pt), where);
    }
  }
}

void solvestate::ONEFILTERPERVARIABLE(batchtype& item, smallint pt, const std::string& where) {
  // A variable filtered twice at one point, by name and by number or by two
  // names, is one filter with one window.
  smallint kept = 0;
  for (long f = 1; f <= item.nfilter[pt]; ++f) {
    const filtertype flt = item.filter(pt, f);
    bool again = false;
    for (long g = 1; g <= kept && !again; ++g) {
      const filtertype& o = item.filter(pt, g);
      if (o.code != flt.code) continue;
      if (o.low != flt.low || o.high != flt.high)
        IO::ERROREXIT(
            where,
            (flt.name.empty() ? IO::INT2STR(flt.code) : flt.name) + " given twice in \"filter\" with different values",
            yourfault);
      again = true;
    }
    if (!again) item.filter(pt, ++kept) = flt;
  }
  item.nfilter[pt] = kept;
}

void solvestate::SETUPMONTECARLO() {
  FINDFILTERCODES("setupmontecarlo");
  DOINGMC = true;
  if (std::fabs(MCIT) < leastmcit) IO::ERROREXIT("solve", "mcit = 0", yourfault);
  NMCROWS = 0;
  IO::strings names{"mc names"};
  for (smallint i = 1; i <= NPSS; ++i) names[i] = (*PREC1)[i].name;
  for (long m = 1; m <= NMC; ++m) {
    mctype& mc = MCINFO[m];
    for (long j = 1; j <= mc.nphase; ++j) {
      smallint k = 0;
      if (!IO::MATCHSTRING(mc.phasename[j], names, NPSS, k))
        IO::ERROREXIT("setupmontecarlo", "bad name " + quote + mc.phasename[j] + quote, yourfault);
      mc.phasepos[j] = k;
    }
  }
  for (long r = 1; r <= NMCRANGE; ++r) MCVAL[r] = 0;
  if (GAUSSMC) {
    MCL.fill(0);
    smallint n = 0;
    for (long r = 1; r <= NMCRANGE; ++r) MCL[++n] = MCRANGEINFO[r].halfwidth / 2;
    for (long m = 1; m <= NMC; ++m)
      if (MCINFO[m].rangeindex == 0) MCL[++n] = MCINFO[m].spread / 2;
    NMCVAR = n;
  }
  for (long m = 1; m <= NMC; ++m) {
    mctype& mc = MCINFO[m];
    ptype1& p = (*PREC1)[mc.phasepos[1]];
    const std::string letter = abcletter(mc.abc);
    // A DQF parameter is the term itself, a, b or c, as W and a( ) are;
    // the row entry it moves is kept beside it.
    mc.tdorig = modelvalue(p, mc.kind, mc.parpos, mc.abc);
    mc.orig = mc.kind == dqfkind ? dqfterm(mc) : mc.tdorig;
    mc.value = mc.orig;
    if (mc.kind == wkind) {
      smallint i = 0, j = 0;
      pairof(mc.parpos, p.nprop, i, j);
      if (i == 0) IO::ERROREXIT("domontecarlo", "bad variable code", yourfault);
      mc.label = quote + "w(" + p.em[i].name + "," + p.em[j].name + ")" + letter + quote;
    } else {
      mc.label = quote + (mc.kind == asymkind ? "a(" : "DQF(") + p.em[mc.parpos].name + ")" + letter + quote;
    }
  }
  if (DEBUGLEVEL == 0 || on(CONTROLJX.mcdebug)) PRINTMCLISTS();
}

void solvestate::DOMONTECARLO() {
  const longint m13 = CHANNEL::TERMSUMLOG;
  if (DEBUGLEVEL > 0 && NMC > 0) {
    IO::PUTSTR(1, std::string(78, '_'), 1, m13);
    IO::PUTSTR(0, "                      original     this mc  difference    original     this mc", 1, m13);
  }
  if (GAUSSMC)
    for (long k = 1; k <= NMCVAR; ++k) MCG[k] = MCL[k] * GAUSSIAN(0, 1);
  for (long r = 1; r <= NMCRANGE; ++r)
    MCVAL[r] = GAUSSMC ? MCG[r] : MCRANGEINFO[r].halfwidth * (2 * ZQMATH1::RANDOM() - 1);
  long nextg = NMCRANGE;
  for (long m = 1; m <= NMC; ++m) {
    mctype& mc = MCINFO[m];
    const smallint k = mc.rangeindex;
    if (k == 0) {
      mc.value = GAUSSMC ? mc.orig + MCG[++nextg] : mc.orig + mc.spread * (2 * ZQMATH1::RANDOM() - 1);
    } else if (mc.rangecode == 0 && k > 0) {
      mc.value = mc.orig + MCVAL[k];
    } else if (mc.rangecode == functionflag && k < 0) {
      const mcfunctype& f = MCFUNCINFO[-k];
      extended shift = 0;
      for (long t = 1; t <= f.nterm; ++t) shift += MCVAL[f.termrange[t]] * f.coef[t];
      mc.value = mc.orig + shift;
    } else if (mc.rangecode == -1 && k > 0) {
      mc.value = (mc.orig - mc.spread) + (MCVAL[k] + mc.spread) * ZQMATH1::RANDOM();
    } else if (mc.rangecode == 1 && k > 0) {
      mc.value = (mc.orig + mc.spread) - (mc.spread - MCVAL[k]) * ZQMATH1::RANDOM();
    } else {
      IO::ERROREXIT("domontecarlo", "bad rangecode", yourfault);
    }
    MCVAL0[m] = mc.value;
    if (DEBUGLEVEL > 0) {
      std::string line;
      IO::ADDSTR(mc.label.size() >= 2 ? mc.label.substr(1, mc.label.size() - 2) : mc.label, -18, line);
      const extended d = mc.value - mc.orig;
      if (mc.kind == dqfkind) {
        IO::ADDREAL(mc.orig, 4, true, 12, line);
        IO::ADDREAL(mc.value, 4, true, 12, line);
        IO::ADDREAL(d, 4, true, 12, line);
        IO::ADDREAL(mc.tdorig, 4, true, 12, line);
        IO::ADDREAL(dqfrow(mc, mc.value), 4, true, 12, line);
      } else {
        IO::ADDREAL(mc.orig, 4, true, 12, line);
        IO::ADDREAL(mc.value, 4, true, 12, line);
        IO::ADDREAL(d, 4, true, 12, line);
      }
      IO::PUTSTR(0, line, m == NMC ? 2 : 1, m13);
    }
    // Into every phase of the parameter, found there by its name: a batch
    // variant may be reduced otherwise than the first phase, or not hold it.
    // The term code was checked when the series was set up.
    const extended modelnew = mc.kind == dqfkind ? dqfrow(mc, mc.value) : mc.value;
    for (long j = 1; j <= mc.nphase; ++j) {
      ptype1& p = (*PREC1)[mc.phasepos[j]];
      const smallint pos = findparameter(p, mc);
      if (pos > 0) modelvalue(p, mc.kind, pos, mc.abc) = modelnew;
    }
  }
}

// ---------------------------------------------------------------- the lists of the drawing data file

void solvestate::PRINTMCLISTS() {
  const longint qk = CHANNEL::DRAWING;
  auto put = [&](const std::string& s) { IO::PUTSTR(0, s, 1, qk); };
  // mcinfo: the own-width parameters.
  std::string line;
  bool any = false;
  for (long m = 1; m <= NMC; ++m) {
    const mctype& mc = MCINFO[m];
    if (mc.rangeindex != 0) continue;
    if (any) {
      put(line + ",");
      line = std::string(11, ' ') + "{";
    } else {
      line = " mcinfo = {{";
    }
    any = true;
    line += mc.label + ", " + fixed(mc.orig, 4) + ", " + fixed(mc.spread, 4);
    line += m == NMC ? "}};" : "}";
  }
  if (!any)
    put(" mcinfo = {};");
  else if (MCINFO[NMC].rangeindex != 0)
    put(line + "};");
  else
    put(line);
  put("");
  // mcrange: each range with the parameters and function terms it moves.
  if (NMCRANGE == 0) put(" mcrange = {};");
  for (long r = 1; r <= NMCRANGE; ++r) {
    const mcrangetype& rg = MCRANGEINFO[r];
    line = r == 1 ? " mcrange = {{{" : std::string(12, ' ') + "{{";
    line += quote + rg.name + quote + ", " + fixed(rg.centre, 4) + ", " + fixed(rg.halfwidth, 4) + "}, {";
    bool first = true;
    for (long m = 1; m <= NMC; ++m) {
      const mctype& mc = MCINFO[m];
      if (mc.rangeindex != r || mc.rangecode <= functionflag) continue;
      line += (first ? "" : ", ") + mc.label;
      first = false;
    }
    long terms = 0;
    for (long f = 1; f <= NMCFUNC; ++f) {
      for (long t = 1; t <= MCFUNCINFO[f].nterm; ++t) {
        if (MCFUNCINFO[f].termrange[t] != r) continue;
        line += (first ? "" : ", ") + std::string("{") + quote + "func" + IO::INT2STR(f) + quote + ", " + quote +
                "term" + IO::INT2STR(t) + quote + "}";
        first = false;
        if (++terms % rangetermbreak == 0) {
          put(line);
          line = std::string(38, ' ');
        }
      }
    }
    put(line + (r == NMCRANGE ? "}}};" : "}},"));
  }
  put("");
  // mcfunc: each function, its constant and its terms.
  if (NMCFUNC == 0) put(" mcfunc = {};");
  for (long f = 1; f <= NMCFUNC; ++f) {
    const mcfunctype& fn = MCFUNCINFO[f];
    line = f == 1 ? " mcfunc = {{" : std::string(11, ' ') + "{";
    line += "(* " + IO::INT2STR(f) + " *) " + quote + fn.name + quote + ", " + fixed(fn.constant, 4) + ", ";
    for (long t = 1; t <= fn.nterm; ++t) {
      if (t > 1) line += ", ";
      line += fixed(fn.coef[t], 4) + ", " + quote + MCRANGEINFO[fn.termrange[t]].name + quote;
      if (t % functermbreak == 0 && t < fn.nterm && t <= 2 * functermbreak) {
        put(line);
        line = std::string(13, ' ');
      }
    }
    put(line + (f == NMCFUNC ? "}};" : "},"));
  }
  put("");
  for (long m = 1; m <= NMC; ++m) {
    const mctype& mc = MCINFO[m];
    if (mc.rangeindex == 0) {
      MCVAL0[m] = mc.orig;
    } else if (mc.rangeindex > 0) {
      MCVAL0[m] = MCRANGEINFO[mc.rangeindex].centre;
    } else {
      const mcfunctype& fn = MCFUNCINFO[-mc.rangeindex];
      MCVAL0[m] = fn.constant;
      for (long t = 1; t <= fn.nterm; ++t) MCVAL0[m] += fn.coef[t] * MCRANGEINFO[fn.termrange[t]].centre;
    }
  }
  // filter: per item and point, its filters with their limits.
  if (!FILTERING) {
    put(" filter = {{}};");
    return;
  }
  for (long b = 1; b <= NBATCH; ++b) {
    const batchtype& item = BATCHINFO[b];
    for (long pt = 1; pt <= item.npt; ++pt) {
      const bool lastpoint = pt == item.npt;
      const bool lastofall = lastpoint && b == NBATCH;
      line = pt == 1 ? (b == 1 ? " filter = {{" : std::string(11, ' ') + "{") + " (* " + IO::INT2STR(BATCHNO[b]) + " *) "
                     : std::string(11, ' ');
      if (item.nfilter[pt] == 0) {
        put(line + "{ }" + (lastofall ? " }};" : " },"));
        continue;
      }
      line += "{";
      for (long f = 1; f <= item.nfilter[pt]; ++f) {
        const filtertype& flt = item.filter(pt, f);
        if (f > 1) {
          line += ",";
          if ((f - 1) % filterbreak == 0) {
            put(line);
            line = std::string(22, ' ');
          }
        }
        std::string limits;
        if (flt.code == 1)
          limits = fixed(flt.low, 1) + ", " + fixed(flt.high, 1);
        else if (flt.code == 2)
          limits = IO::INT2STR(celsius(flt.low)) + ", " + IO::INT2STR(celsius(flt.high));
        else
          limits = fixed(flt.low, 4) + ", " + fixed(flt.high, 4);
        line += " {" + IO::INT2STR(flt.code) + ", " + limits + "}";
      }
      put(line + (lastofall ? " }}};" : lastpoint ? " }}," : " },"));
    }
  }
}

}  // namespace ZQNLE2
