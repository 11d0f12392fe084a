// The driver of the conversion utility and its mineral half: each analysed
// mineral recalculated, printed, and turned into a row of oxide amounts for
// the rbi block at the end of the log.
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr extended integerwithin = 1e-5L;  // a number this near an integer is written as one
constexpr extended presentabove = -0.99L;  // amounts above this are components present
constexpr extended fuslack = 1;            // how far the script's formula unit may stray from the phase's
constexpr std::size_t rowlead = 17;        // "rbi", a name of up to 5 characters and the "??" field
const char* const rbidashes = "%-----------------------------------------------------------";

constexpr smallint amountwidth = 10;       // field of an oxide amount of an rbi row

// The start of an rbi row: the keyword, the name with a blank before it
// at any length (touching, the two read as one unknown keyword), and the
// "??" field of the mode.
std::string rowhead(const std::string& name) {
  std::string w = "rbi";
  IO::ADDSTR(" " + name, 6, w);
  IO::ADDSTR("??", 8, w);
  return w;
}

// The amount field of component c in an rbi row built whole after a head
// of lead characters.
std::string amountfield(const std::string& row, std::size_t lead, long c) {
  const std::size_t at = lead + static_cast<std::size_t>(c - 1) * amountwidth;
  return at < row.size() ? row.substr(at, amountwidth) : std::string();
}

// The rbi rows of the analysed minerals and the lengths of their heads, for
// the trailer of the log.
farray<std::string, 1, maxminerals> rbirows{"rbi rows"};
farray<std::size_t, 1, maxminerals> rbileads{"rbi row heads"};

// A number of a constraint: an integer when it is one, else 3 decimals.
std::string constraintnumber(extended x) {
  const extended rounded = std::nearbyint(x);
  if (std::fabs(x - rounded) < integerwithin) return IO::INT2STR(rounded);
  return IO::REAL2STR(x, 3, true);
}

// The mineral record from the script's analysis, with nothing computed yet.
void frommineralconv(mineraltype& m, const mineralconvtype& a) {
  m = mineraltype{};
  m.name = a.name;
  m.nox = a.n;
  for (smallint j = 1; j <= maxcomp; ++j) {
    m.inoxide[j] = a.inoxide[j];
    m.wt[j] = a.wt[j];
  }
  m.analysed = a.analysed;
  m.useideal = a.useideal;
  m.fu = a.fu;
  m.sdlogwt = a.sdlogwt;
  m.xlow = a.xlow;
  m.xhigh = a.xhigh;
  m.logx = a.logx;
  m.sdlogx = a.sdlogx;
  m.sdmult = a.sdmult;
  m.nideal = a.nideal;
  m.idealvalue = a.idealvalue;
  m.idealconst = a.idealconst;
  m.nidealterm = a.nidealterm;
  m.idealname = a.idealname;
  m.idealcoef = a.idealcoef;
}

// The heading of one mineral: what is done to it, and its constraints.
void mineralheading(const mineraltype& m) {
  IO::PUTSTR(1, std::string(84, '='), 1, CHANNEL::TERMSUMLOG);
  if (!m.useideal) {
    IO::PUTSTR(0, "recalc of " + m.name, 1, CHANNEL::TERMSUMLOG);
    return;
  }
  IO::PUTSTR(0, "ideal analysis of " + m.name + " with", 1, CHANNEL::TERMSUMLOG);
  for (smallint c = 1; c <= m.nideal; ++c) {
    std::string w = "  ";
    if (m.idealconst[c] != 0) w += constraintnumber(m.idealconst[c]);
    for (smallint t = 1; t <= m.nidealterm[c]; ++t) {
      const extended k = m.idealcoef(c, t);
      const std::string& name = m.idealname(c, t);
      if (k == 1)
        w += (t == 1 && m.idealconst[c] == 0 ? "" : " + ") + name;
      else if (k == -1)
        w += " - " + name;
      else if (k > 0)
        w += " + " + constraintnumber(k) + name;
      else
        w += " - " + constraintnumber(std::fabs(k)) + name;
    }
    w += " = " + constraintnumber(m.idealvalue[c]);
    IO::PUTSTR(0, w, c == m.nideal ? 2 : 1, CHANNEL::TERMSUMLOG);
  }
}

// The working analysis and its cations after the recalculation.
void recalctable(const mineraltype& m) {
  std::string w = "     ";
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDSTR(m.oxname[j] == "Fe2O3" ? "O" : m.oxname[j], 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  w.clear();
  IO::ADDSTR("wt%", -5, w);
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDREAL(m.wtwork[j], 3, true, 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  w = "     ";
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDSTR(m.cationname[j], 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  w.clear();
  IO::ADDSTR("c(0)", -5, w);
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDREAL(m.c0[j], 4, true, 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  if (!m.useideal) return;
  w.clear();
  IO::ADDSTR("c(id)", -5, w);
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDREAL(m.cid[j], 4, true, 10, w);
  IO::PUTSTR(0, w, 1, CHANNEL::TERMSUMLOG);
  w = "sigfit = ";
  IO::ADDREAL(m.sigfit, 3, true, 0, w);
  IO::PUTSTR(1, w, 1, CHANNEL::TERMSUMLOG);
}

// The row of oxide amounts per formula unit of mineral m (phase k), all
// iron as FeO, with the check of its analysis.
std::string oxiderow(const mineraltype& m, smallint k, smallint h2opos, smallint co2pos) {
  cvector cid = m.cid;
  if (m.fe2pos > 0 && m.fe3pos > 0) {
    cid[m.fe3pos] = cid[m.fe3pos] / 2;
    cid[m.fe2pos] = cid[m.fe2pos] + 2 * cid[m.fe3pos];
  }
  std::string row = rowhead(m.name);
  // Each amount in a field of its own, appended whole: the row is written
  // out in fields, going on in the next line where a line ends.
  auto field = [&row](extended x) {
    std::string f;
    IO::ADDREAL(x, 6, true, amountwidth, f);
    row += f;
  };
  for (smallint c = 1; c <= NUV; ++c) {
    const extended div = static_cast<extended>(COMPDIV[c]);
    if (c == h2opos || c == co2pos) {
      field(static_cast<extended>((*PREC1)[k].em[1].comp[c]) / div);
      continue;
    }
    extended amount = -1;
    for (smallint j = 1; j <= m.nox && amount == -1; ++j)
      if ((j == m.fe3pos ? sstring("O") : m.oxname[j]) == COMPNAME[c]) amount = cid[j];
    smallint metals = 0;
    for (smallint r = 1; r <= maxcomp; ++r)
      if (OXNAME[r] == COMPNAME[c]) metals = METALS[r];
    if (amount >= presentabove)
      field(metals == 0 ? amount : amount / metals);
    else
      row += std::string(amountwidth - 1, ' ') + "0";
  }
  return row;
}

// The rbi row on terminal and log, and the analysis checked back in moles.
void printoxiderow(const mineraltype& m, const std::string& row) {
  IO::PUTSTR(1, "moles of oxides in " + m.name + " for rbi", 1, CHANNEL::TERMLOG);
  const std::size_t lead = rowhead(m.name).size();
  IO::PUTTABLE(
      2, NUV, [](long, std::string&) {},
      [&row, lead](long r, long c, std::string& line) {
        if (r == 1)
          IO::ADDSTR(COMPNAME[c], amountwidth, line);
        else
          line += amountfield(row, lead, c);
      },
      0, CHANNEL::TERMLOG);
  std::string w = "check";
  const smallint listed = static_cast<smallint>(m.opos > 0 ? m.nox - 1 : m.nox);
  for (smallint j = 1; j <= listed; ++j) IO::ADDSTR(m.oxname[j], 10, w);
  if (m.opos > 0) IO::ADDSTR("O", 10, w);
  IO::PUTSTR(1, w, 0, CHANNEL::TERMLOG);
  w = "wt   ";
  extended osum = 0;
  for (smallint j = 1; j <= m.nox; ++j) {
    IO::ADDREAL(m.wt[j], 3, true, 10, w);
    osum += m.oxoxygens[j] * m.wt[j] / m.molwt[j];
  }
  IO::PUTSTR(1, w, 0, CHANNEL::TERMLOG);
  w = "mole ";
  for (smallint j = 1; j <= m.nox; ++j) IO::ADDREAL(m.fu * (m.wt[j] / m.molwt[j]) / osum, 6, true, 10, w);
  IO::PUTSTR(1, w, 1, CHANNEL::TERMLOG);
}

// The rbi block at the end of the log.
void rbitrailer(smallint rows) {
  IO::PUTSTR(2, "% rbi info: add modes for ?? (and reduce H2O in bi by cTi)", 1, CHANNEL::LOG);
  IO::PUTSTR(0, rbidashes, 1, CHANNEL::LOG);
  // Read back as a script: a row too long for a line goes on in the next,
  // ended by the continuation mark.
  const std::string indent(rowlead, ' ');
  IO::PUTROW(
      0, "rbi" + std::string(14, ' '), NUV, [](long c, std::string& line) { IO::ADDSTR(COMPNAME[c], amountwidth, line); },
      1, CHANNEL::LOG, " \\", indent);
  for (smallint r = 1; r <= rows; ++r) {
    const std::string& row = rbirows[r];
    const std::size_t lead = rbileads[r];
    IO::PUTROW(
        0, row.substr(0, lead), NUV, [&](long c, std::string& line) { IO::ADDSTR(amountfield(row, lead, c), 0, line); }, 1,
        CHANNEL::LOG, " \\", indent);
  }
  if (NWHSTRINGS > 0) {
    for (smallint j = 1; j <= NP0; ++j) {
      const std::string w = rowhead((*PREC0)[j].name);
      IO::PUTROW(
          0, w, NUV,
          [j](long c, std::string& line) {
            IO::ADDREAL(static_cast<extended>((*C)(c, NCV - NP0 + j)) / static_cast<extended>(COMPDIV[c]), 6, true,
                        amountwidth, line);
          },
          1, CHANNEL::LOG, " \\", indent);
    }
  }
  IO::PUTSTR(0, rbidashes, 1, CHANNEL::LOG);
  IO::PUTSTR(1, "[ rbi info in scriptfile form at the end of the logfile ]", 1, CHANNEL::TERMINAL);
}

// The position of component name among the system's, 0 when absent.
smallint componentpos(const std::string& name) {
  for (smallint c = 1; c <= NUV; ++c)
    if (COMPNAME[c] == name) return c;
  return 0;
}

}  // namespace

void MINERALCALC() {
  if (NMINCONV == 0) IO::PUTSTR(1, "no analyses to recalculate", 1, CHANNEL::TERMSUMLOG);
  const smallint h2opos = componentpos("H2O"), co2pos = componentpos("CO2");
  NMIN = NMINCONV;
  for (smallint i = 1; i <= maxminerals; ++i) frommineralconv(MINERAL[i], MINERALCONV[i]);
  smallint rows = 0;
  for (smallint i = 1; i <= NMIN; ++i) {
    mineraltype& m = MINERAL[i];
    if (!m.analysed) continue;
    smallint k = 0;
    for (smallint p = 1; p <= NPSS && k == 0; ++p)
      if ((*PREC1)[p].name == m.name) k = p;
    if (k == 0) IO::ERROREXIT("mineralcalc", "unrecognised phase, " + m.name, yourfault);
    if (std::fabs((*PREC1)[k].noxygens - m.fu) > fuslack)
      IO::ERROREXIT("mineralcalc", "right formula unit for " + m.name + "?", yourfault);
    m.phase = k;
    mineralheading(m);
    CALCXYZ(i);
    recalctable(m);
    PRINTXYZINFO(i);
    PRINTXYZSCRIPT(i);
    IO::PUTSTR(1, "[ this xyz info is in scriptfile form in the logfile ]", 1, CHANNEL::TERMINAL);
    rbirows[++rows] = oxiderow(m, k, h2opos, co2pos);
    rbileads[rows] = rowhead(m.name).size();
    printoxiderow(m, rbirows[rows]);
  }
  MAKERBI();
  rbitrailer(rows);
}

void DOCONVERT() {
  if (NCONV < 1) IO::ERROREXIT("conversions", "no converting to be done?", yourfault);
  ZQREAD1::READTHERMO(1);
  ZQREAD2::SETUPPHASES();
  ZQREAD1::EXTRACTEM();
  ZQUTE2::POSITIONS();
  MAKEBULK();
  MINERALCALC();
}

}  // namespace ZQMODE0
