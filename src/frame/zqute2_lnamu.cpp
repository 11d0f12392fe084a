// The ln a and chemical-potential variables of a calc-mode-1 diagram: ln a
// variables are pure phases held in excess at listed activities; a mu
// variable becomes a new pure phase of one unit of its component.
#include <cmath>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"

using namespace ZQGLOBAL;

namespace ZQUTE2 {

namespace {

std::string aligned(const std::string& text, smallint width) {
  std::string line;
  IO::ADDSTR(text, width, line);
  return line;
}

void excess(smallint phase) {
  if (phase < 1 || phase > maxphases)
    IO::ERROREXIT("setup lna", "too many phases" + ZQUTE1::MAXSTR(maxphases), yourfault);
  PINEX[phase] = true;
  NPINEX = static_cast<smallint>(NPINEX + 1);
  PMBP[phase] = true;
  NPMBP = static_cast<smallint>(NPMBP + 1);
}

// Two values from one answer: low and high of a window.
void asktwo(const std::string& prompt, extended& low, extended& high) {
  IO::rrvector v;
  smallint n = 2;
  IO::PROMPTREALS(prompt, v, n);
  low = v[1];
  high = v[2];
}

void fluidbyname(const sstring& name) {
  if (name == "CO2")
    FIXEDXCO2 = 1;
  else if (name == "H2O")
    FIXEDXH2O = 1;
}

}  // namespace

void SETUPLNA() {
  IO::strings pure;
  for (long j = 1; j <= NP0; ++j) pure[j] = (*PREC0)[j].name;

  std::string line = "in setup lna\n   " + LNANAME[1] + " : ";
  for (long j = 1; j <= NP0; ++j) line += pure[j] + " ";
  smallint pos = 0;
  if (IO::MATCHSTRING(LNANAME[1], pure, NP0, pos)) line += ": " + IO::INT2STR(pos);
  IO::WRITETERMINAL(line + "\n");
  // A name that is no pure phase would be dropped, and the diagram drawn
  // on fewer variables than the script asks for.
  for (long i = 1; i <= NLNA; ++i) {
    smallint at = 0;
    if (!IO::MATCHSTRING(LNANAME[i], pure, NP0, at))
      IO::ERROREXIT("setup lna", LNANAME[i] + " is not a pure phase of the calculation", yourfault);
  }

  smallint c = 0;
  for (long i = 1; i <= NLNA; ++i) {
    if (!IO::MATCHSTRING(LNANAME[i], pure, NP0, pos)) continue;
    if (c >= maxlna) IO::ERROREXIT("setup lna", "too many ln a variables" + ZQUTE1::MAXSTR(maxlna), yourfault);
    ++c;
    LNANAME[c] = LNANAME[i];
    excess(static_cast<smallint>(NPSS + pos));
    if ((LNANAME[c] == "H2O" && FLUIDTYPE == ftype::h2o) || (LNANAME[c] == "CO2" && FLUIDTYPE == ftype::co2))
      FLUIDTYPE = ftype::absent;
    if (FIXEDLNA[i] < 9.9L) {
      NLLNA[c] = 1;
      LLNA(c, 1) = FIXEDLNA[i];
    }
    IO::WRITETERMINAL("   " + aligned(IO::INT2STR(NLLNA[c]), 2) + " ln a = " +
                      aligned(IO::REAL2STR(LLNA(1, 1), 5, true), 10) + "\n");
    KEEPLNAS[c] = (*PREC0)[pos].td[TDSLOT::S];
    IO::WRITETERMINAL("   ln a name = " + aligned(LNANAME[1], 8) + aligned(LNANAMEP[1], 8) +
                      aligned(IO::REAL2STR(FIXEDLNA[1], 4, true), 12) + "\n");
  }
  NLNA = c;
}

void CHECKMUNAMES() {
  IO::strings comps;
  for (long j = 1; j <= NUV; ++j) comps[j] = COMPNAME[j];
  for (long i = 1; i <= NMU; ++i) {
    smallint k = 0;
    if (!IO::MATCHSTRING(MUNAME[i], comps, NUV, k))
      IO::ERROREXIT("setupmu", MUNAME[i] + " is not a component of the system", yourfault);
  }
}

void SETUPMU() {
  CHECKMUNAMES();
  IO::strings comps;
  for (long j = 1; j <= NUV; ++j) comps[j] = COMPNAME[j];
  smallint c = 0;
  const smallint np00 = NP0;
  for (long i = 1; i <= NMU; ++i) {
    smallint k = 0;
    if (!IO::MATCHSTRING(MUNAME[i], comps, NUV, k)) continue;
    if (c >= maxlna) IO::ERROREXIT("setupmu", "too many mu variables" + ZQUTE1::MAXSTR(maxlna), yourfault);
    ++c;
    NCV = static_cast<smallint>(NCV + 1);
    NP0 = static_cast<smallint>(NP0 + 1);
    NP = static_cast<smallint>(NP + 1);
    // The new phase is an end-member too, and takes a place in every table
    // over end-members.
    // Its row may not reach the dependent copies of made end-members' constituents, which fill the
    // rows from maxem down.
    if (NCV > maxem || NCV >= LOWESTCOPYSLOT)
      IO::ERROREXIT("setupmu", "too many end-members" + ZQUTE1::MAXSTR(maxem), yourfault);
    if (NP0 > maxp0 || NP > maxss) IO::ERROREXIT("setupmu", "with mu 'phase', max no of phases exceeded", yourfault);
    excess(NP);

    ptype0& r = (*PREC0)[NP0];
    r.name = MUNAME[i];
    r.emname = MUNAME[i];
    for (long j = 1; j <= NUV; ++j) r.comp[j] = 0;
    r.comp[k] = IO::LI2I(COMPDIV[k]);

    for (long p = 1; p <= np00; ++p) {
      const ptype0& other = (*PREC0)[p];
      long j = 1;
      while (j < NUV && other.comp[j] == r.comp[j]) ++j;
      if (NUV >= 1 && other.comp[j] != r.comp[j]) continue;
      IO::WRITETERMINAL("i = " + IO::INT2STR(p) + ", j = " + IO::INT2STR(j) + ", k = " + IO::INT2STR(k) +
                        ", ii = " + IO::INT2STR(i) + "\n");
      IO::WRITETERMINAL("np00 = " + IO::INT2STR(np00) + ", nuv = " + IO::INT2STR(NUV) + "\n");
      IO::ERROREXIT("setupmu", MUNAME[i] + " is same as " + other.name, yourfault);
    }

    // The phase's G is the chemical potential itself at every P and T: the
    // value is its enthalpy, and its entropy stays 0 (each point puts its
    // own value of the list there).
    for (long j = 1; j <= maxtd; ++j) r.td[j] = 0;
    if (FIXEDMU[i] == 0) {
      READMU(static_cast<smallint>(i), c);
    } else {
      NLMU[c] = 1;
      LMU(c, 1) = FIXEDMU[i];
    }
    r.td[TDSLOT::H] = LMU(c, 1);
    MUNAME[c] = MUNAME[i];
    r.dqfa = r.dqfb = r.dqfc = 0;
    r.nmake = 0;
    r.activity = 1;
  }
  NMU = c;
}

void READMU(smallint i, smallint k) {
  const std::string prompt = "mu(" + MUNAME[i] + "): low, high";
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS(prompt, v, n);
  extended low = 0, high = 0;
  if (n == 1) {
    low = high = v[1];
  } else if (n == 0) {
    asktwo(prompt, low, high);
  } else {
    low = v[1];
    high = v[2];
  }
  ZQUTE1::MUOK(low, high, xOKtype::canbesame);
  ZQUTE1::LISTMU(k, low, high);
}

void READA(smallint i, smallint k) {
  extended low = 0, high = 0;
  asktwo("activity(" + LNANAME[i] + "): low, high", low, high);
  ZQUTE1::AOK(low, high, xOKtype::canbesame);
  ZQUTE1::LISTA(k, low, high);
  LNALOW = std::log(low);
  LNAHIGH = std::log(high);
  fluidbyname(LNANAME[i]);
}

void READLNA(smallint i, smallint k) {
  const bool base10 = CONTROLJX.setloga == yes;
  IO::PUTSTR(0, base10 ? "all logs are to the base 10" : "all logs are to the base e (ie natural logs)", 1, CHANNEL::TERMSUMLOG);
  extended low = 0, high = 0;
  asktwo((base10 ? "log a(" : "ln a(") + LNANAME[i] + "): low, high", low, high);
  ZQUTE1::LNAOK(low, high, xOKtype::canbesame);
  ZQUTE1::LISTLNA(k, low, high);
  fluidbyname(LNANAME[i]);
}

}  // namespace ZQUTE2
