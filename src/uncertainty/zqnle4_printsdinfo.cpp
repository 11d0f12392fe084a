// The report of the uncertainty settings, and the block of each point in
// the second csv file: bulk with its log ratios, the point, its unknowns,
// their standard deviations by source and their covariance.
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_bulk.h"
#include "frame/zqglobal_phases.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_sensitivity.h"
#include "frame/zqglobal_uncertainty.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_calcsd.h"

using namespace ZQGLOBAL;

namespace ZQNLE4 {

namespace {

constexpr smallint csvwidth = 10;  // every csv field, unless a row says otherwise
constexpr smallint blankphases = 12;  // blanks before the phase names of the point row
constexpr smallint pwidth = 17;    // the pressure of the point row
const char* const separator = ", ";
// The log ratio shown for an absent bulk component without "c8": a fixed
// text, not a number.
const char* const absentratio = "0.810";

// One row of the block, built field by field and whole, however many
// unknowns it has: a csv reader takes a row as one line.
struct csvrow {
  std::string text;
  void field(const std::string& s, smallint width = csvwidth) {
    text += IO::PADSTR(s, width);
    text += separator;
  }
  void fixed(extended x, smallint places) { field(IO::REAL2STR(x, places, true)); }
  void sig(extended x, smallint digits) { field(IO::REAL2STR(x, digits, false)); }
};

// The rows go straight into the file, each ended by a line feed.
void writerow(const std::string& text) {
  IO::textfile& f = IO::CHANNELFILE(CHANNEL::CSV2BIT);
  if (!IO::BTST(IO::WHATSOPEN, CHANNEL::CSV2BIT) || f.f == nullptr) return;
  const std::string line = text + "\n";
  IO::WRITEFILE(f, line);
}

bool c8() { return CONTROLJX.c8 == yes; }

// The four bulk rows over the free components and an empty line.
void bulkrows() {
  csvrow names, amounts, ratios, sds;
  long k = 0, other = 0;
  const smallint den = KBPDENFREE();  // the denominator's place among the free components
  for (long c = 1; c <= NUV && k < NUVLEFT; ++c) {
    if (!BCOMPS[c]) continue;
    ++k;
    names.field(COMPNAME[c]);
    amounts.fixed(100 * COMPK[k], 3);
    if (k == den) {
      ratios.field("0");
      sds.field("0");
      continue;
    }
    if (COMPK[k] <= 0)
      ratios.field(c8() ? "-10" : absentratio);
    else
      ratios.fixed(std::log(COMPK[k] / COMPK[den]), 4);
    sds.fixed(SDBP[++other], 4);
  }
  writerow(names.text);
  writerow(amounts.text);
  writerow(ratios.text);
  writerow(sds.text);
  writerow("");
}

}  // namespace

void PRINTUNCINFO() {
  constexpr longint m = CHANNEL::TERMSUMLOG;
  IO::SETTINGSHEAD("uncertainties in error propagation", m);
  IO::PUTSTR(0, "h: on thermo data, the dataset uncertainties (on enthalpy)", 1, m);
  std::string& line = IO::WSTR;
  line = "w: on non-ideality, sd(W) = ";
  IO::ADDREAL(100 * UNCERTAINTY::SDWRELATIVE, 1, true, 0, line);
  IO::ADDSTR(" % relative; min sd(W) = ", 0, line);
  IO::ADDREAL(UNCERTAINTY::SDWFLOOR, 1, true, 0, line);
  IO::ADDSTR(" kJ", 0, line);
  IO::PUTSTR(0, line, 1, m);
  if (!MODESBYNLE) return;
  line = "b: on bulk, in sd(b), alpha = ";
  IO::ADDREAL(UNCERTAINTY::BULKALPHA, 4, true, 0, line);
  IO::ADDSTR(", for O, mult = ", 0, line);
  IO::ADDREAL(UNCERTAINTY::BULKOXYGEN, 1, true, 0, line);
  IO::PUTSTR(0, line, 1, m);
  IO::PUTSTR(0, "(bulk and modes are compvars: prime is logratio; // is denominator: see notes)", 1, m);
}

void calcsdstate::PRINTSDINFO() {
  IO::CSV2FILEUSED = true;
  if (MODESBYNLE) bulkrows();

  std::string point = "x, ";
  IO::ADDINT(NX, 3, point);
  point += separator;
  IO::ADDINT(NXP, 2, point);
  point += separator;
  IO::ADDINT(KMPDEN, 3, point);
  point += separator;
  IO::ADDSTR(IO::REAL2STR(X[1], 4, true), pwidth, point);
  point += separator;
  csvrow rest;
  rest.fixed(X[2] - CONST::KELVIN, 3);
  rest.text += IO::PADSTR("", blankphases);
  for (long i = 1; i <= NPSS; ++i)
    if (ph[i]) rest.field((*PREC1)[i].name);
  for (long i = 1; i <= NP0; ++i)
    if (ph[NPSS + i]) rest.field((*PREC0)[i].name);
  writerow(point + rest.text);
  writerow("");

  const long den = NX + KMPDEN;  // the denominator mode's unknown
  csvrow heading, values;
  heading.field("P(kbar)");
  heading.field("T(degC)");
  values.fixed(X[1], 4);
  values.fixed(X[2] - CONST::KELVIN, 3);
  for (long i = 3; i <= NX; ++i) heading.field(XNAME[i]);
  for (long i = NX + 1; i <= NX + NXP; ++i)
    if (i != den) heading.field(XNAME[i]);
  writerow(heading.text);
  for (long i = 3; i <= NX; ++i) values.fixed(X[i], 5);
  const extended d = KMPDEN >= 1 && den <= NX + NXP ? X[den] : 0;
  for (long i = NX + 1; i <= NX + NXP; ++i) {
    if (i == den) continue;
    if (X[i] <= 0 || (c8() && d <= 0))
      values.field("0");
    else if (d <= 0)
      IO::ERROREXIT("printsdinfo", "log of zero or negative mode", yourfault);
    else
      values.fixed(std::log(X[i] / d), 5);
  }
  writerow(values.text);
  writerow("");

  csvrow rh, rw, rb, rs;
  for (long i = 1; i <= n; ++i) {
    // The h and w rows show no value as a plain 0.
    if (SDXH[i] < 0) rh.text += IO::PADSTR("0, ", csvwidth + 2); else rh.sig(SDXH[i], 5);
    if (SDXW[i] < 0) rw.text += IO::PADSTR("0, ", csvwidth + 2); else rw.sig(SDXW[i], 5);
    // The b and total rows show the marker as it is named.
    if (SDXBP[i] == UNCERTAINTY::NOSD) rb.field("-10"); else rb.sig(SDXBP[i], 5);
    if (SDX[i] == UNCERTAINTY::NOSD) rs.field("-10"); else rs.sig(SDX[i], 5);
  }
  writerow(rh.text);
  writerow(rw.text);
  writerow(rb.text);
  writerow(rs.text);
  writerow("");

  constexpr extended emptydiagonal = 1e-10L;  // a zero variance shows as this
  for (long i = 1; i <= n; ++i) {
    csvrow row;
    for (long j = 1; j <= n; ++j) row.sig(i == j && COVX(i, j) == 0 ? emptydiagonal : COVX(i, j), 4);
    writerow(row.text);
  }
  writerow("");
  IO::FLUSHFILE(IO::CHANNELFILE(CHANNEL::CSV2BIT));
}

}  // namespace ZQNLE4
