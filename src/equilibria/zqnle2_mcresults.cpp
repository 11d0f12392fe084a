// The rows of a batch run or a Monte Carlo series: each point stored, the
// run judged against the batch requests and filters, and a passing run
// written as one block to the drawing data, summary and csv files, with
// the progress of a long series on the terminal.
#include <algorithm>
#include <cmath>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/zqglobal_script.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

constexpr smallint progressevery = 250;   // runs per progress mark
constexpr smallint progresslineevery = 2500;  // runs per line of progress marks
constexpr smallint listbreak = 16;        // values per line of a run's parameter lines
constexpr smallint rowbreak = 12;         // unknowns per line of a drawing-data row
constexpr smallint maxrowbreaks = 4;      // line breaks of one drawing-data row at most
constexpr smallint summarybreaks = 2;     // line breaks of one summary row at most
constexpr std::size_t mclinecapacity = 4096;  // room for any line of a run's block; a longer one still grows

const std::string quote = "\"";

std::string fixed(extended x, smallint places) { return IO::REAL2STR(x, places, true); }

// Decimals of a parameter value in the run's parameter lines and in the summary.
smallint drawnplaces(smallint abc) { return abc == 2 ? 6 : 5; }
smallint summaryplaces(smallint abc) { return abc == 1 ? 4 : abc == 2 ? 7 : 6; }


// Values joined by ", ", breaking after every 16th when more follow: each
// full line goes out through put, the rest stays in line.
template <class F, class P>
void valuelist(std::string& line, long n, F value, const P& put) {
  for (long k = 1; k <= n; ++k) {
    line += value(k);
    if (k < n) {
      line += ", ";
      if (k % listbreak == 0) {
        put(line);
        line = "  ";
      }
    }
  }
}

// Whether the row's value lies strictly inside the filter; a filter that
// names nothing in the row fails.
bool inside(const mcrow& row, const filtertype& f) {
  if (f.code < 1 || f.code > maxeq) return false;
  const extended v = row.value[f.code];
  return f.low < v && v < f.high;
}

}  // namespace

void solvestate::PRINTMCRESULTS(smallint ibatch, smallint ipt, bool& goodmc) {
  if (!MCROWS) MCROWS = std::make_unique<mcrowstore>();
  batchtype& item = BATCHINFO[ibatch];
  const long runno = RUNNUMBER();
  // 1. Progress of a long series.
  if (ibatch == 1 && ipt == 1 && RUN % progressevery == 0) {
    std::string s = "(" + IO::INT2STR(runno) + ", " + IO::INT2STR(NOKBATCH) + ") ";
    if (RUN % progresslineevery == 0) {
      if (runno % runspercarry == 0) {
        s += "\n\n";
        for (long k = 1; k <= NBATCHREQ; ++k) {
          const longint c = DEATHC[k], f = DEATHF[k];
          if (c == 0 && f == 0)
            s += IO::INT2STR(k) + ":0 ";
          else if (!FILTERING)
            s += IO::INT2STR(k) + ":" + IO::INT2STR(c) + " ";
          else
            s += IO::INT2STR(k) + ":" + IO::INT2STR(c + f) + "(" + IO::INT2STR(c) + "/" + IO::INT2STR(f) + ") ";
          DEATHC[k] = DEATHF[k] = 0;
        }
        s += "\n";
      }
      s += "\n";
    }
    IO::WRITETERMINAL(s);
  }
  // 2. Start of the series; 3. start of a run.
  if (FIRSTRUN && FIRSTBATCH && ipt == 1) {
    NOKBATCH = 0;
    DEATHC.fill(0);
    DEATHF.fill(0);
    IO::PUTSTR(1, "starting to accumulate results", 2, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(1, " results = {", 1, CHANNEL::DRAWING);
    RESULTSOPEN = true;
    BLOCKPENDING = false;
  }
  // 4. The point into its slot of the store: the item's slots follow the
  // rows of the run's items before it, whatever order they are filled in.
  if (ibatch != MCITEM || runno != MCITEMRUN) {
    if (FIRSTBATCH) MCK = 0;
    MCITEM = ibatch;
    MCITEMRUN = runno;
    MCBASE = MCK;
    MCFILLED = 0;
    MCSLOT.fill(false);
  }
  if (MCBASE + ipt > maxmcrows) IO::ERROREXIT("printmcresults", "too many rows in one run", myfault);
  if (!MCSLOT[ipt]) ++MCFILLED;
  MCSLOT[ipt] = true;
  MCK = std::max(MCK, static_cast<smallint>(MCBASE + ipt));
  item.pointok[ipt] = goodmc;
  item.pointkept[ipt] = true;
  mcrow& row = MCROWS->row[MCBASE + ipt];
  row.item = ibatch;
  row.point = ipt;
  // P and T are the innermost levels of the point loop: a held list's
  // points repeat the item's P-T points, and with them the filters given
  // for each.
  row.ptpoint = static_cast<smallint>((ipt - 1) % std::max<smallint>(item.npt, 1) + 1);
  row.nx = NX;
  row.nxp = NXP;
  row.good = goodmc;
  row.value.fill(0);
  row.hasprop = false;
  row.prop.fill(0);
  row.react.clear();
  if (!goodmc) {
    row.value[2] = CONST::KELVIN;
    item.pointkept[ipt] = false;
  } else {
    row.value[1] = SU.pressure;
    row.value[2] = SU.temperature;
    for (long v = 3; v <= NX + NXP; ++v) row.value[v] = X[v];
    row.hasprop = ROWPROPERTIES(row.prop);
    if (NREACT != 0) row.react = RSTR;
    if (FILTERING)
      for (long f = 1; f <= item.nfilter[row.ptpoint]; ++f)
        if (!inside(row, item.filter(row.ptpoint, f))) item.pointkept[ipt] = false;
  }
  // 5. The verdict, once the last item has every slot filled.
  const bool last = ibatch == NBATCH && MCFILLED == ITEMPOINTS(item);
  bool verdict = true;
  if (last) {
    for (long k = 1; k <= NBATCHREQ && verdict; ++k) {
      bool c = false, f = false;
      for (long j = 1; j <= BATCHREQ[k].count; ++j) {
        const long b = BATCHREQ[k].item[j];
        if (b < 1 || b > NBATCH) continue;
        for (long p = 1, n = ITEMPOINTS(BATCHINFO[b]); p <= n; ++p) {
          c = c || BATCHINFO[b].pointok[p];
          f = f || BATCHINFO[b].pointkept[p];
        }
      }
      if (!c) ++DEATHC[k];
      if (!f) ++DEATHF[k];
      verdict = c && f;
    }
  }
  goodmc = verdict;
  if (!last || !verdict) return;
  // 6. A passing run: its score and block. Each good row is measured
  // against the filters of its own item and point.
  ++NOKBATCH;
  extended score = 0;
  if (FILTERING) {
    for (long r = 1; r <= MCK; ++r) {
      const mcrow& w = MCROWS->row[r];
      if (!w.good) continue;
      const batchtype& it = BATCHINFO[w.item];
      for (long f = 1; f <= it.nfilter[w.ptpoint]; ++f) {
        const filtertype& flt = it.filter(w.ptpoint, f);
        if (flt.code < 1 || flt.code > maxeq || flt.high == flt.low) continue;
        const extended s = 2 * (w.value[flt.code] - (flt.low + flt.high) / 2) / (flt.high - flt.low);
        if (std::fabs(s) > std::fabs(score)) score = s;
      }
    }
  }
  PRINTMCBLOCK(score);
}

bool solvestate::SLOTFILLED(smallint ibatch, long ipt) const {
  return ibatch == MCITEM && RUNNUMBER() == MCITEMRUN && MCSLOT[ipt];
}

void solvestate::PRINTMCBLOCK(extended score) {
  const longint qk = CHANNEL::DRAWING, summary = CHANNEL::SUMMARY;
  const long runno = RUNNUMBER();
  const bool cw = on(CONTROLJX.mcoutcurrentway);
  auto putqk = [&](const std::string& s) { IO::PUTSTR(0, s, 1, qk); };
  auto putsum = [&](const std::string& s) { IO::PUTSTR(0, s, 1, summary); };

  // The block before this one is not the last: it takes its separator.
  if (BLOCKPENDING) IO::PUTSTR(0, ",", 2, qk);
  BLOCKPENDING = false;
  // The parameter lines of the run.
  ++NMCROWS;
  // The own-width parameters, in parameter order.
  farray<smallint, 1, maxmc> own{"mc own"};
  long ownn = 0;
  for (long m = 1; m <= NMC; ++m)
    if (MCINFO[m].rangeindex == 0) own[++ownn] = static_cast<smallint>(m);
  // The line is the state's, grown once in the first run: later runs write
  // their blocks without allocating.
  std::string& line = MCLINE;
  if (line.capacity() < mclinecapacity) line.reserve(mclinecapacity);
  line = "{{";
  line += cw ? "(* cw *) " : "(* cw  ";
  valuelist(
      line, ownn,
      [&](long j) {
        const mctype& mc = MCINFO[own[j]];
        return fixed(mc.value, drawnplaces(mc.abc));
      },
      putqk);
  if (NMCRANGE > 0) {
    // The range values go on a line of their own; a comma parts them from
    // the own-width values only when there are some.
    if (ownn > 0) line += ", ";
    putqk(line);
    line = "  ";
    valuelist(line, NMCRANGE, [&](long r) { return fixed(MCRANGEINFO[r].centre + MCVAL[r], 5); }, putqk);
  }
  if (!cw) line += " *)";
  putqk(line);
  line = cw ? "  (* nw    " : "  (* nw *) ";
  long onlast = 0;
  valuelist(
      line, NMC,
      [&](long m) {
        onlast = (m - 1) % listbreak + 1;
        const mctype& mc = MCINFO[m];
        return fixed(mc.kind == dqfkind ? mc.value : MCVAL0[m], drawnplaces(mc.abc));
      },
      putqk);
  line += cw ? " *)" : "";
  line += "}, ";
  if (FILTERING && runno < runspercarry) {
    line += " (* ";
    line += IO::INT2STR(runno);
    line += " *)";
  }
  putqk(line);

  // The summary's header and parameter values. The header heads the rows,
  // so it goes with the first run that writes any, whether or not that is
  // the first run of the series.
  if (NOKBATCH == 1) IO::PUTSTR(2, IO::INT2STR(onlast) + " " + IO::INT2STR(NBATCH) + " ", 2, summary);
  line.clear();
  long k = 0;
  for (long m = 1; m <= NMC; ++m) {
    const mctype& mc = MCINFO[m];
    if (mc.rangeindex != 0) continue;
    if (k > 0 && k % listbreak == 0) {
      putsum(line);
      line = "  ";
    }
    line += fixed(mc.value, summaryplaces(mc.abc)) + " ";
    ++k;
  }
  for (long r = 1; r <= NMCRANGE; ++r) {
    for (long m = 1; m <= NMC; ++m) {
      const mctype& mc = MCINFO[m];
      if (mc.rangeindex != r) continue;
      line += (mc.kind == dqfkind ? "" : fixed(mc.value, summaryplaces(mc.abc))) + " ";
      break;
    }
  }
  putsum(line);

  // One row per stored point, on all three files.
  for (long r = 1; r <= MCK; ++r) PRINTMCROW(r, score);
  IO::PUTSTR(0, "", 1, CHANNEL::CSV);
  IO::PUTSTR(0, "", 1, CHANNEL::CSV2);
}

void solvestate::PRINTMCROW(long r, extended score) {
  const longint qk = CHANNEL::DRAWING, summary = CHANNEL::SUMMARY;
  const long runno = RUNNUMBER();
  const smallint pplaces = std::max<smallint>(PPRECISION, 2), tplaces = std::max<smallint>(TPRECISION, 1);
  auto putqk = [&](const std::string& s) { IO::PUTSTR(0, s, 1, qk); };
  auto putsum = [&](const std::string& s) { IO::PUTSTR(0, s, 1, summary); };
  std::string& line = MCLINE;
  const mcrow& w = MCROWS->row[r];
  const batchtype& item = BATCHINFO[w.item];
  const long n = w.nx + w.nxp;
  for (long v = 3; v <= n; ++v) X[v] = w.value[v];
  RSTR = w.react;
  const bool lastrow = r == MCK;
  const long points = ITEMPOINTS(item);
  // Drawing data.
  line = " ";
  if (w.point == 1) {
    line += "{{ (* ";
    line += IO::INT2STR(BATCHNO[w.item]);
    line += " *) { ";
  } else {
    line += " {         {";
  }
  if (!w.good) {
    line += "0, 0}, {";
  } else {
    line += fixed(w.value[1], pplaces);
    line += ", ";
    line += fixed(celsius(w.value[2]), tplaces);
    line += "}, ";
    for (long v = 3; v <= n; ++v) {
      const long e = v - 2;
      if (e == 1) {
        line += "{";
      } else if (e % rowbreak == 0 && e / rowbreak <= maxrowbreaks && v < n) {
        putqk(line + ", ");
        line = std::string(13, ' ');
      } else {
        line += ", ";
      }
      line += fixed(w.value[v], 4);
    }
    if (!w.react.empty()) line += "}, {" + quote + w.react + quote;
  }
  line += "}}";
  if (lastrow) {
    // Whether another block follows is known only when one does, or when
    // the series ends: the separator or the list's end comes then.
    line += "},     " + fixed(score, 3) + "}";
    BLOCKPENDING = true;
  } else {
    line += w.point == points ? "}," : ",";
  }
  IO::PUTSTR(0, line, lastrow ? 0 : 1, qk);
  // Summary.
  if (w.point == 1)
    line = IO::INT2STR(w.item) + " " + IO::INT2STR(static_cast<extended>(points)) + " " + IO::INT2STR(n) + " ";
  else
    line = "    " + IO::INT2STR(n) + " ";
  if (w.good) {
    line += fixed(w.value[1], pplaces) + " " + fixed(celsius(w.value[2]), tplaces) + " ";
    for (long v = 3; v <= n; ++v) {
      const long e = v - 2;
      if (e % rowbreak == 0 && e / rowbreak <= summarybreaks && v < n) {
        putsum(line);
        line = "    ";
      }
      line += fixed(w.value[v], 4) + " ";
    }
  }
  IO::PUTSTR(0, line, lastrow ? 2 : 1, summary);
  // csv rows: the full run number, so that runs 3 and 10003 differ.
  csvfield(CHANNEL::CSVBIT, IO::INT2STR(runno), 4);
  csvfield(CHANNEL::CSVBIT, ", ", 0);
  csvfield(CHANNEL::CSVBIT, fixed(w.value[1], 3), 10);
  csvfield(CHANNEL::CSVBIT, ", ", 0);
  csvfield(CHANNEL::CSVBIT, fixed(celsius(w.value[2]), 2), 10);
  csvfield(CHANNEL::CSVBIT, ", ", 0);
  for (long v = 3; v <= n; ++v) {
    csvfield(CHANNEL::CSVBIT, w.good ? fixed(w.value[v], 5) : "-1", 10);
    csvfield(CHANNEL::CSVBIT, ", ", 0);
  }
  csvfield(CHANNEL::CSV2BIT, IO::INT2STR(runno), 4);
  csvfield(CHANNEL::CSV2BIT, ", ", 0);
  for (long q = 1; q <= nmcprops; ++q) {
    csvfield(CHANNEL::CSV2BIT, w.hasprop ? fixed(w.prop[q], 3) : "-1", 10);
    csvfield(CHANNEL::CSV2BIT, ", ", 0);
  }
}

void solvestate::CLOSERESULTS() {
  // However the series ended (its count of passing runs, its run count, a
  // last run that failed, or no passing run at all), the list it opened
  // is closed after its last block.
  if (!RESULTSOPEN) return;
  IO::PUTSTR(0, "};", 2, CHANNEL::DRAWING);
  RESULTSOPEN = false;
  BLOCKPENDING = false;
}

}  // namespace ZQNLE2
