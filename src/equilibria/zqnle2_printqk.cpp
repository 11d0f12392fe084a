// The drawing data of a point: the record header of an equilibrium, its
// record rows or list rows, and the mode box with its csv rows.
#include <cmath>
#include <vector>

#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

const char* const recordrule = "% ------------------------------";  // "% " and 30 "-"
const char* const listrule = "(* ------------------------------ *)";
const char* const fluidvariable = "x(fluid)";
const std::string listindent = "  ";  // a list's line after its first
const std::string heldindent = std::string(13, ' ') + "% ";  // a comment line after a row's own

void qkline(smallint before, const std::string& text, smallint after) {
  IO::PUTSTR(before, text, after, CHANNEL::DRAWING);
}

// The label placeholder of a record header.
std::string recordlabel() {
  const bool hasxco2 = PXCO2 >= 1;
  if (!EXBUFF) {
    if (!hasxco2) {
      if (VARIANCE == 0) return "i<k>   ";
      if (VARIANCE == 1) return "u<k>   ";
      if (OVARIANCE == 2 && VARIANCE == 2) return "d<k>   ";
      if (OVARIANCE == 3 && VARIANCE == 2) return "t<k>   ";
      return "<name>   ";
    }
    if (!XCO2SET && VARIANCE == 1) return "i<k>   ";
    return "u<k>   ";
  }
  if (XCO2SET) return "u<k>   ";
  if (VARIANCE == 1) return "i<k>   ";
  if (VARIANCE == 2) return "u<k>   ";
  return "<name>   ";
}

// The name and colour record of mode m's phase.
const sstring& modephasename(smallint m, bool& hasrgb, const farray<smallint, 1, 3>*& rgb) {
  if (MP2X[m] == 0) {
    const ptype0& p = (*PREC0)[MP2SS[m]];
    hasrgb = p.hasrgb;
    rgb = &p.rgb;
    return p.name;
  }
  const ptype1& p = (*PREC1)[MP2SS[m]];
  hasrgb = p.hasrgb;
  rgb = &p.rgb;
  return p.name;
}

// The mode unknown that stands beside record i of SU is solved for.
bool modesolved(smallint i) { return NX + i <= maxeq && BX[NX + i]; }

// The list-layout header: a comment naming the assemblage.
void listheader() {
  qkline(1, listrule, 1);
  std::string& o = IO::OSTR;
  o = "(* ";
  for (smallint i = 1; i <= SU.nph; ++i)
    if (modesolved(i)) o += SU.ph[i].name + " ";
  bool held = false;
  for (smallint i = 1; i <= SU.nph; ++i)
    if (!modesolved(i)) held = true;
  if (held) {
    o += "- ";
    for (smallint i = 1; i <= SU.nph; ++i)
      if (!modesolved(i)) o += SU.ph[i].name + " ";
  }
  o += "*)";
  qkline(0, o, 2);
}

// The end line of a record header; rgb: the colour of a univariant line,
// nullptr when none.
void endline(const farray<smallint, 1, 3>* rgb) {
  const bool hasxco2 = PXCO2 >= 1;
  std::string& o = IO::OSTR;
  if (!EXBUFF && !hasxco2) {
    if (VARIANCE == 1) {
      o = "begin  end  ";
      if (rgb != nullptr) {
        o += "rgb ";
        for (long c = 1; c <= 3; ++c) IO::ADDINT((*rgb)[c], 4, o);
      }
      qkline(0, o, 2);
    } else if (OVARIANCE == 3 && VARIANCE == 2) {
      qkline(0, "begin  end", 2);
    }
  } else if (!EXBUFF) {
    if (XCO2SET || VARIANCE != 1) qkline(0, "begin  end", 2);
  } else if (XCO2SET || VARIANCE == 2) {
    qkline(0, "begin  end", 2);
  }
}

}  // namespace

void solvestate::PRINTHEADERO() {
  if (!on(CONTROLJX.plotix)) {
    if (!on(CONTROLJX.compatibility) && !on(CONTROLJX.modebox) && CALCG) listheader();
    return;
  }
  qkline(1, recordrule, 1);
  std::string& o = IO::OSTR;
  o = recordlabel();
  const farray<smallint, 1, 3>* colour = nullptr;
  if (!MODESBYNLE) {
    for (smallint i = 1; i <= NPSS; ++i)
      if (PH[i]) o += (*PREC1)[i].name + " ";
    for (smallint i = 1; i <= NP0; ++i)
      if (PH[NPSS + i]) o += (*PREC0)[i].name + " ";
  } else {
    bool hasrgb = false;
    const farray<smallint, 1, 3>* rgb = nullptr;
    for (smallint m = 1; m <= NXP; ++m)
      if (BX[NX + m]) o += modephasename(m, hasrgb, rgb) + " ";
    o += " - ";
    bool firstzero = true;
    for (smallint m = 1; m <= NXP; ++m) {
      if (BX[NX + m]) continue;
      if (!firstzero) o += " ";
      o += modephasename(m, hasrgb, rgb);
      colour = hasrgb ? rgb : nullptr;
      firstzero = false;
    }
  }
  if (OVARIANCE == 0)
    o += "  invariant";
  else if (OVARIANCE == 1 && VARIANCE == 1)
    o += "  univariant";
  else if (OVARIANCE == 2 && VARIANCE == 2)
    o += "  divariant";
  else if (OVARIANCE == 3 && VARIANCE == 2)
    o += "  trivariant";
  qkline(0, o, 2);
  if (on(CONTROLJX.calcmu)) {
    // A comment in every line it takes, its names over the mu rows' values.
    o.clear();
    IO::ADDSTR(" % ", 10, o);
    IO::PUTROW(
        0, o, NUV, [](long j, std::string& line) { IO::ADDSTR(COMPNAME[j] + " ", 12, line); }, 1, CHANNEL::DRAWING,
        "", o);
  }
  endline(colour);
}

void solvestate::PRINTROWQK() {
  if (noproperties()) return;
  std::string& o = IO::OSTR;
  o.clear();
  const extended x = SU.prop[1];
  if (x != 0 || NCOMP > 1) {
    if (x == 0)
      IO::ADDSTR("0", 7, o);
    else
      IO::ADDREAL(x, 5, true, 0, o);
    o += " ";
  }
  IO::ADDREAL(SU.pressure, PPRECISION < 4 ? 3 : PPRECISION, true, 0, o);
  o += " ";
  IO::ADDREAL(celsius(SU.temperature), TPRECISION < 3 ? 2 : TPRECISION, true, 0, o);
  o += " ";
  for (smallint v = 3; v <= NX; ++v)
    if (XNAME[v] == fluidvariable) {
      IO::ADDREAL(X[v], 4, false, 0, o);
      break;
    }
  if (rowproperties()) {
    o += " ";
    IO::ADDREAL(SU.gsys[1], 7, true, 0, o);
    o += " ";
    IO::ADDREAL(SU.hsys[1], 5, true, 0, o);
    o += " ";
    IO::ADDREAL(SU.ssys[1], 6, true, 0, o);
    o += " ";
    IO::ADDREAL(SU.vsys[1], 6, true, 0, o);
    o += " ";
    IO::ADDREAL(SU.rhosys[1], 6, true, 0, o);
  }
  // The held variables, a comment after the row's values, go on in the
  // next line as a comment of its own where the line ends.
  std::vector<smallint> held;
  for (smallint v = 3; !MODESAFTERNLE && v <= NX + NXP; ++v)
    if (!BX[v] && XNAME[v] != fluidvariable) held.push_back(v);
  IO::PUTROW(
      0, o, static_cast<long>(held.size()),
      [&held](long k, std::string& line) {
        const smallint v = held[static_cast<std::size_t>(k - 1)];
        if (!line.empty()) IO::ADDSTR(k == 1 ? " % " : ", ", 0, line);
        IO::ADDSTR(XNAME[v] + " = ", 0, line);
        IO::ADDREAL(X[v], IO::NPLACES(X[v]), true, 0, line);
      },
      1, CHANNEL::DRAWING, ",", heldindent);
  if (MODESAFTERNLE && OVARIANCE == 1 && VARIANCE == 1) qkline(0, heldindent + RSTR, 1);
}

void solvestate::PRINTROWMATH() {
  if (SU.gsys[1] == 0) return;
  std::string& o = IO::OSTR;
  o = "{";
  IO::ADDREAL(SU.pressure, 3, true, 0, o);
  o += ", ";
  IO::ADDREAL(celsius(SU.temperature), 4, true, 0, o);
  const extended props[] = {SU.gsys[1], SU.hsys[1], SU.ssys[1], SU.vsys[1], SU.rhosys[1]};
  const smallint places[] = {6, 5, 6, 6, 6};
  for (int k = 0; k < 5; ++k) {
    o += ", ";
    IO::ADDREAL(props[k], places[k], true, 0, o);
  }
  // Each phase's product, then the position of the step whose modes they
  // take; the list goes on in the next line where the line ends.
  const long n = on(CONTROLJX.moreprec) ? SU.nph + 1 : 0;
  std::vector<std::string> lines = IO::FLOWROW(
      o, n,
      [n](long k, std::string& line) {
        if (!line.empty()) IO::ADDSTR(", ", 0, line);
        if (k < n) {
          const suphasetype& p = SU.ph[static_cast<smallint>(k)];
          IO::ADDSTR(plainfixed(p.mode[1] * p.modefac[1] * p.g, 8, 12), 0, line);
        } else {
          const extended x = rowoneposition();
          IO::ADDSTR(x == -1 ? "0" : IO::REAL2STR(x, 4, true), 0, line);
        }
      },
      ",", listindent);
  lines.back() += "},";
  for (const std::string& l : lines) qkline(0, l, 1);
}

void solvestate::PRINTMODEBOX() {
  tozerobtype zeroed{"modebox zeroed"};
  extended f = 1;
  TOZEROFAC(zeroed, f);
  const extended x = rowoneposition();
  std::string& o = IO::OSTR;
  o = "{{";
  IO::ADDREAL(SU.pressure, 3, true, 0, o);
  o += ", ";
  IO::ADDREAL(celsius(SU.temperature), 2, true, 0, o);
  o += ", ";
  if (NCOMP < 2)
    o += "0";
  else
    IO::ADDREAL(x, 3, true, 0, o);
  o += "}";
  // A list of many phases goes on in the next line where the line ends.
  std::vector<smallint> shown;
  for (smallint i = 1; i <= SU.nph; ++i)
    if (!zeroed[i]) shown.push_back(i);
  std::vector<std::string> lines = IO::FLOWROW(
      o, static_cast<long>(shown.size()),
      [&shown, f](long k, std::string& line) {
        const suphasetype& p = SU.ph[shown[static_cast<std::size_t>(k - 1)]];
        if (!line.empty()) line += ", ";
        line += "{\"" + p.name + "\", ";
        IO::ADDREAL(p.mode[1] * f, 5, true, 0, line);
        line += "}";
      },
      ",", listindent);
  lines.back() += "}, ";
  for (std::size_t i = 0; i < lines.size(); ++i) qkline(i == 0 ? 1 : 0, lines[i], 1);
  // The csv rows are built whole, however many phases the with list holds.
  std::string& w = IO::WSTR;
  if (MAINLOOP == 1) {
    w = IO::PADSTR("P(kbar),", 11) + IO::PADSTR("T(C),", 11) + IO::PADSTR("prop,", 11);
    smallint j = 1;
    for (long n = 1; n <= NWHSTRINGS; ++n) {
      const bool inSU = j <= SU.nph && SU.ph[j].name == WHSTRINGS[n];
      if (inSU && zeroed[j++]) continue;
      w += IO::PADSTR(csvname(WHSTRINGS[n]) + ",", 11);
    }
    IO::PUTSTR(0, w, 1, CHANNEL::CSV);
  }
  // The second row is the other end of a univariant line, when the modes
  // worked out after the solve gave one.
  const smallint rows = (VARIANCE == 1 && OVARIANCE == 1 && SU.nmodeset >= 2) ? 2 : 1;
  for (smallint r = 1; r <= rows; ++r) {
    w = IO::PADSTR(IO::REAL2STR(SU.pressure, 3, true), 10) + ",";
    w += IO::PADSTR(IO::REAL2STR(celsius(SU.temperature), 2, true), 10) + ",";
    w += IO::PADSTR(NCOMP < 2 ? "0" : IO::REAL2STR(x, 3, true), 10) + ",";
    smallint j = 1;
    for (long n = 1; n <= NWHSTRINGS; ++n) {
      if (j <= SU.nph && SU.ph[j].name == WHSTRINGS[n]) {
        if (!zeroed[j]) w += IO::PADSTR(IO::REAL2STR(SU.ph[j].mode[r] * f, 5, true), 10) + ",";
        ++j;
      } else {
        w += IO::PADSTR("0,", 11);
      }
    }
    IO::PUTSTR(0, w, 1, CHANNEL::CSV);
  }
}

}  // namespace ZQNLE2
