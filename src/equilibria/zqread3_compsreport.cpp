// The report of the bulk reader: one bulk with, at an uncertainty level,
// its log-ratios and their sds; or a range, on the terminal as its two ends
// and in the summary and log as a table of the points across it.
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "equilibria/zqread3_comps.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr smallint onewidth = 9;     // field of a name or value of one bulk
constexpr smallint rangewidth = 8;   // field of the range's two ends on the terminal
constexpr smallint tablewidth = 6;   // field of the range table
constexpr smallint bulkplaces = 3;   // decimals of a bulk from "bulk"
constexpr smallint rbiplaces = 4;    // decimals of a bulk from "rbi", and of the log-ratios
constexpr smallint tableplaces = 2;  // decimals of the range table's bulks

// The column step of the range table and its columns after the first.
void tablecolumns(smallint& step, smallint& columns, bool& last) {
  step = NCOMP <= 11 ? 1 : NCOMP <= 21 ? 2 : NCOMP <= 51 ? 5 : 10;
  columns = static_cast<smallint>((NCOMP - 1) / step);
  last = step * columns + 1 != NCOMP;
}

// The log-ratios and their sds of one bulk, and the bulk as the route
// that forms them leaves it.
void uncertainty(cvector& w) {
  FINDKBPDEN();
  IO::rrvector b{"report bulk"};
  for (long k = 1; k <= NUVLEFT; ++k) b[k] = w[k];
  CALCCOVBP(b);
  for (long k = 1; k <= NUVLEFT; ++k) w[k] = b[k];
  COMP1.data = COMP2.data = w.data;
  std::string& s = IO::PSTR;
  if (CONTROLJX.avptplus == yes) {
    // The bulk is in percent already. A blank of its own before each value
    // keeps the columns of the lines around it and never lets two run together.
    s = "b ";
    for (long k = 1; k <= NUVLEFT; ++k) {
      s += ' ';
      IO::ADDREAL(w[k], rbiplaces, true, onewidth - 1, s);
    }
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  }
  const smallint den = KBPDENFREE();
  s = "b'";
  for (long k = 1; k <= NUVLEFT; ++k) {
    if (k == den)
      IO::ADDSTR("//", onewidth, s);
    else
      IO::ADDREAL(BP[k < den ? k : k - 1], rbiplaces, true, onewidth, s);
  }
  IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  s = "sd";
  long next = 0;
  for (long k = 1; k <= NUVLEFT; ++k) {
    if (k == den)
      IO::ADDSTR(IO::BLANKSTRING(onewidth), onewidth, s);
    else
      IO::ADDREAL(SDBP[++next], rbiplaces, true, onewidth, s);
  }
  IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
}

}  // namespace

std::vector<sstring> FREECOMPONENTS(bool labelled) {
  std::vector<sstring> names;
  bool oxygen = false;
  for (long j = 1; j <= NUV; ++j)
    if (BCOMPS[j]) {
      names.push_back(COMPNAME[j]);
      oxygen = oxygen || COMPNAME[j] == "O";
    }
  if (labelled && oxygen)
    for (sstring& n : names)
      if (n == "FeO") n = "FeOt";
  return names;
}

void READCOMPS_STATE::report() {
  if (NCOMP == 1)
    reportone();
  else
    reportrange();
}

void READCOMPS_STATE::reportone() {
  const controljxtype& c = CONTROLJX;
  const bool rbi = c.rbi == yes;
  std::string title = "composition";
  if (!chosen) title += std::string(" (from ") + (rbi ? "rbi" : "bulk") + " script)";
  IO::PUTSTR(0, title, 1, CHANNEL::TERMSUMLOG);
  std::string& s = IO::PSTR;
  s = "  ";
  for (const sstring& l : FREECOMPONENTS(true)) IO::ADDNAME(l, onewidth, s);
  IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  s = c.uncertaintylevel >= 1 ? "b " : "  ";
  for (long k = 1; k <= NUVLEFT; ++k) IO::ADDREAL(w[k], rbi ? rbiplaces : bulkplaces, true, onewidth, s);
  if (chosen) s += "   (" + IO::REAL2STR(chosenp, bulkplaces, true) + " across original range)";
  IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  if (c.uncertaintylevel > 0) uncertainty(w);
}

void READCOMPS_STATE::reportrange() {
  const bool split = CONTROLJX.splitbulk == yes;
  IO::PUTSTR(1, split ? "composition" : "composition (from script)", 1, CHANNEL::TERMSUMLOG);
  std::string& s = IO::PSTR;
  s.clear();
  for (const sstring& l : FREECOMPONENTS(true)) IO::ADDNAME(l, rangewidth, s);
  IO::PUTSTR(0, s, 1, CHANNEL::TERMINAL);
  s.clear();
  for (long k = 1; k <= NUVLEFT; ++k) IO::ADDREAL(c1[k], bulkplaces, true, rangewidth, s);
  IO::PUTSTR(0, s, 1, CHANNEL::TERMINAL);
  s.clear();
  for (long k = 1; k <= NUVLEFT; ++k) IO::ADDREAL(c2[k], bulkplaces, true, rangewidth, s);
  s += "      " + IO::INT2STR(NCOMP - 1) + " increments";
  if (split)
    s += " across " + IO::REAL2STR(PROP1, bulkplaces, true) + " to " + IO::REAL2STR(PROP2, bulkplaces, true) +
         " of original range";
  IO::PUTSTR(0, s, 1, CHANNEL::TERMINAL);

  smallint step = 1, columns = 0;
  bool last = false;
  tablecolumns(step, columns, last);
  const auto t = [&](smallint i) { return static_cast<extended>(i * step) / static_cast<extended>(NCOMP - 1); };
  s.clear();
  IO::ADDSTR("pos", -tablewidth, s);
  IO::ADDINT(1, tablewidth, s);
  for (smallint i = 1; i <= columns; ++i) IO::ADDINT(i * step + 1, tablewidth, s);
  if (last) IO::ADDINT(NCOMP, tablewidth, s);
  if (split) s += "   (in this range)";
  IO::PUTSTR(0, s, 1, CHANNEL::SUMLOG);
  s.clear();
  IO::ADDSTR("prop", -tablewidth, s);
  IO::ADDREAL(PROP1, bulkplaces, true, tablewidth, s);
  for (smallint i = 1; i <= columns; ++i) IO::ADDREAL(PROP1 + (PROP2 - PROP1) * t(i), bulkplaces, true, tablewidth, s);
  if (last) IO::ADDREAL(PROP2, bulkplaces, true, tablewidth, s);
  if (split) s += "   (of overall range)";
  IO::PUTSTR(0, s, 1, CHANNEL::SUMLOG);
  const std::vector<sstring> names = FREECOMPONENTS(false);
  for (long k = 1; k <= NUVLEFT; ++k) {
    s.clear();
    IO::ADDNAME(names[static_cast<std::size_t>(k - 1)], tablewidth, s);
    IO::ADDREAL(c1[k], tableplaces, true, tablewidth, s);
    for (smallint i = 1; i <= columns; ++i) IO::ADDREAL((1 - t(i)) * c1[k] + t(i) * c2[k], tableplaces, true, tablewidth, s);
    if (last) IO::ADDREAL(c2[k], tableplaces, true, tablewidth, s);
    IO::PUTSTR(0, s, 1, CHANNEL::SUMLOG);
  }
}

}  // namespace ZQREAD3
