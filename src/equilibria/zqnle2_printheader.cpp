// The banner and phase line that open an equilibrium's output.
#include <algorithm>
#include <vector>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

const char* const plainbanner = "<==========================================================>";  // "<", 58 "=", ">"
const char* const batchbannerend = " ==============================================>";            // blank, 46 "=", ">"
const char* const stepbannerend = " =======================================>";                    // blank, 39 "=", ">"
const char* const firstitemrule = "<--1----------------------------------------------->";
const char* const itembannerend = "----------------------------------------------->";  // 47 "-", ">"

// The banner line(s) of a batch item or fractionation step.
void banner(longint m) {
  if (!DOINGFRACT) {
    if (CONTROLJX.batch == yes && IBATCH >= 1)
      IO::PUTSTR(0, "<== " + IO::INT2STR(BATCHNO[IBATCH]) + batchbannerend, 1, m);
    else
      IO::PUTSTR(0, plainbanner, 1, m);
    return;
  }
  if (IBATCH != 1) {
    IO::PUTSTR(0, "<--" + IO::INT2STR(IBATCH) + itembannerend, 1, m);
    return;
  }
  IO::PUTSTR(0, "<== step " + IO::INT2STR(IFRACT) + stepbannerend, 1, m);
  // The free components over the step's bulk, in as many blocks as the
  // line's length needs.
  std::vector<long> free;
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) free.push_back(j);
  IO::PUTTABLE(
      2, std::max<long>(static_cast<long>(free.size()), NUVLEFT),
      [](long row, std::string& line) { line += row == 1 ? "     " : "bulk "; },
      [&](long row, long k, std::string& line) {
        if (row == 1) {
          if (k <= static_cast<long>(free.size())) IO::ADDNAME(COMPNAME[free[static_cast<std::size_t>(k - 1)]], 10, line);
        } else if (k <= NUVLEFT) {
          IO::ADDREAL(COMP1[k], 5, true, 10, line);
        }
        if (row == 2 && k == std::max<long>(static_cast<long>(free.size()), NUVLEFT)) line += "    step start";
      },
      1, CHANNEL::LOG);
  IO::PUTSTR(1, firstitemrule, 1, m);
}

// The phases in excess, between brackets, after the others.
void excesslist(const bemvector& ph, bool nonelisted, std::string& line) {
  line += nonelisted ? " - (" : " (";
  bool first = true;
  bool fluidwritten = false;
  auto entry = [&](const std::string& text) {
    if (!first) IO::ADDSTR(",", -2, line);
    line += text;
    first = false;
  };
  for (smallint i = 1; i <= NP; ++i) {
    if (!ph[i] || !PINEX[i]) continue;
    if (i <= NPSS) {
      entry((*PREC1)[i].name);
      continue;
    }
    const smallint k = static_cast<smallint>(i - NPSS);
    const sstring& name = (*PREC0)[k].name;
    if (k > NP0 - NMU) {
      entry("mu(" + MUNAME[k - (NP0 - NMU)] + ")");
    } else if (name == "H2O" || name == "CO2") {
      if (!fluidwritten && FLUIDTYPE != ftype::absent) entry("fluid");
      fluidwritten = true;
    } else if (NLNA > 0 && name == LNANAME[1]) {
      entry("a(" + LNANAMEP[1] + ")");
    } else {
      entry(name);
    }
  }
  IO::ADDSTR(")", -2, line);
}

}  // namespace

void solvestate::PRINTHEADER1() {
  const longint m = resultmask();
  banner(m);
  std::string& line = IO::WSTR;
  line = "phases: ";
  bool listed = false;
  for (smallint i = 1; i <= NP; ++i) {
    if (!PH[i] || PINEX[i]) continue;
    if (listed) line += " ";
    line += phasename(i);
    listed = true;
  }
  if (NPINEX == 0)
    line += "  ";
  else
    excesslist(PH, !listed, line);
  bool someout = false;
  for (smallint i = 1; i <= NP; ++i) someout = someout || !PH[i];
  if (CONTROLJX.batch != yes && someout) {
    line += "or [";
    bool firstout = true;
    for (smallint i = 1; i <= NP; ++i) {
      if (PH[i] || PINEX[i]) continue;
      if (!firstout) line += ",";
      line += phasename(i);
      firstout = false;
    }
    IO::ADDSTR("]", -2, line);
  }
  if (DOGMIN) {
    line += " #";
    IO::ADDINT(DOGLEVEL == 2 ? NGI + 1 : NGI, 0, line);
  }
  IO::PUTSTR(0, line, 1, m);
  if (RANKDEFICIT > 0 && DEBUGLEVEL > 1) IO::PUTSTR(0, "composition matrix is rank deficient", 1, m);
  if (!DOGMIN && DEBUGLEVEL > 0) PRINTHEADERO();
}

}  // namespace ZQNLE2
