// Keywords that fix where a calculation is made: the P-T window, the
// pressures and temperatures, the fluid, buffer, activities and chemical
// potentials, and the a-x file.
#include <cmath>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

bool isintorreal(smallint i) {
  return INFOTYPE[i] == valuetype::aninteger || INFOTYPE[i] == valuetype::areal;
}

std::string padleft(std::string s, std::size_t w) {
  while (s.size() < w) s = " " + s;
  return s;
}

void calctype(const scriptline& l) {
  CONTROLJX.calctype = l.sw == ask ? no : l.sw;
  CONTROLJX.calctypecode = 0;
  if (CONTROLJX.calctype != yes) return;
  if (CALCMODE == calcmodetype::rockcalc) {
    if (CHECKSCRIPTI(l.keyword, 1, 2)) CONTROLJX.calctypecode = INFOINT[1];
  } else if (CALCMODE == calcmodetype::phasecalc) {
    if (CHECKSCRIPTI(l.keyword, 1, 5)) CONTROLJX.calctypecode = INFOINT[1];
  }
}

void diagrampt(const scriptline& l) {
  CONTROLJX.diagramPT = l.sw;
  if (l.sw != yes) return;
  if (NINFO < 4) {
    IO::PUTSTR(1, "for " + l.keyword + ", 4 numbers needed to define a PT rectangle", 1, CHANNEL::TERMLOG);
    IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
    CONTROLJX.diagramPT = no;
    return;
  }
  smallint n = 4;
  if (!CHECKSCRIPTNR(l.keyword, n)) {
    CONTROLJX.diagramPT = no;
    return;
  }
  CONTROLJX.diagramPT = PPOK(l.keyword, FIGPLOW, FIGPHIGH, ABSPLOW, CONST::PCEILING, 1);
  if (CONTROLJX.diagramPT == yes) CONTROLJX.diagramPT = TTOK(l.keyword, FIGTLOW, FIGTHIGH, CONST::TFLOOR, CONST::TCEILING, 3);
}

void calcp(const scriptline& l) {
  CONTROLJX.calcP = l.sw;
  PLOW = FIGPLOW;
  PHIGH = FIGPHIGH;
  if (l.sw == no) return;
  const smallint nr = COUNTREALS();
  if (nr == 0) {
    IO::PUTSTR(1, "for " + l.keyword + "1, 2 or 3 numbers needed", 1, CHANNEL::TERMLOG);
    IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
    CONTROLJX.calcP = no;
  } else if (smallint all = 0; nr < NINFO && !CHECKSCRIPTNR(l.keyword, all)) {
    // a word after the first numbers is a slip, not the end of the range
    CONTROLJX.calcP = no;
  } else if (nr >= 2) {
    CONTROLJX.calcP = PPOK(l.keyword, PLOW, PHIGH, FIGPLOW, FIGPHIGH, 1);
    if (CONTROLJX.calcP == yes && nr >= 3) CPINC = INFOREAL[3];
  } else {
    CONTROLJX.calcP = POK(l.keyword, PLOW, FIGPLOW, FIGPHIGH, 1);
    PHIGH = PLOW;
  }
}

void calct(const scriptline& l) {
  CONTROLJX.calcT = l.sw;
  TLOW = FIGTLOW;
  THIGH = FIGTHIGH;
  if (l.sw == no) return;
  const smallint nr = COUNTREALS();
  if (nr == 0) {
    IO::PUTSTR(1, "for " + l.keyword + "1, 2 or 3 numbers needed", 1, CHANNEL::TERMLOG);
    IO::NFAIL = static_cast<smallint>(IO::NFAIL + 1);
    CONTROLJX.calcT = no;
  } else if (smallint all = 0; nr < NINFO && !CHECKSCRIPTNR(l.keyword, all)) {
    // a word after the first numbers is a slip, not the end of the range
    CONTROLJX.calcT = no;
  } else if (nr >= 2) {
    CONTROLJX.calcT = TTOK(l.keyword, TLOW, THIGH, FIGTLOW, FIGTHIGH, 1);
    if (CONTROLJX.calcT == yes && nr >= 3) CTINC = INFOREAL[3];
  } else {
    CONTROLJX.calcT = TOK(l.keyword, TLOW, FIGTLOW, FIGTHIGH, 1);
    THIGH = TLOW;
  }
}

void ptforaxe(const scriptline& l) {
  CONTROLJX.ptforaxe = l.sw;
  if (l.sw == no) return;
  smallint n = 2;
  if (CHECKSCRIPTNR(l.keyword, n)) {
    CONTROLJX.ptforaxeP = INFOREAL[1];
    CONTROLJX.ptforaxeT = INFOREAL[2];
  } else {
    CONTROLJX.ptforaxe = no;
  }
}

void figure(const scriptline&) {
  if (NINFO < 1) return;
  const sstring& w = INFOSTRING[1];
  if (w == "P-T" || w == "PT") {
    FIGURE = 0;
  } else if (w == "P-x(CO2)" || w == "Px(CO2)") {
    FIGURE = 2;
  } else if (w == "T-x(CO2)" || w == "Tx(CO2)") {
    FIGURE = 1;
  } else if (w == "mu-mu") {
    FIGURE = 3;
  } else {
    SCRIPTFAULT(w + " not recognised (remove from scriptfile)");
  }
}

void buffer(const scriptline& l) {
  if (l.sw != yes) return;
  BUFFERC = INFOSTRING[1];
  if (!isintorreal(2)) SCRIPTFAULT("buffer, " + QUOTE(BUFFERC) + ", not a del");
  BUFFERDEL = INFOREAL[2];
  IO::WRITETERMINAL("for " + BUFFERC + " del = " + padleft(IO::REAL2STR(BUFFERDEL, 2, true), 4) + "\n");
}

void lna(const scriptline& l) {
  CONTROLJX.setlna = l.sw == ask ? no : l.sw;
  if (CALCMODE == calcmodetype::nlecalc) {
    if (INFOSTRING[1] == "none" || NINFO < 2) CONTROLJX.setlna = no;
    if (CONTROLJX.setlna == yes && INFOTYPE[1] == valuetype::astring) {
      NLNA = 1;
      NLLNA[1] = 1;
      LNANAME[1] = INFOSTRING[1];
      if (isintorreal(2))
        FIXEDLNA[1] = INFOREAL[2];
      else
        CONTROLJX.setlna = no;
      LNANAMEP[1] = NINFO >= 3 ? INFOSTRING[3] : INFOSTRING[1];
    }
  }
  if (CONTROLJX.setlna == no) NLNA = 0;
}

std::string tracevalue(extended v) { return ") = " + padleft(IO::REAL2STR(v, 4, true), 10); }

// The names of an activity or chemical-potential list, each optionally
// followed by its value; answers the number of names.
smallint namelist(const scriptline& l, farray<sstring, 1, maxlna>& names, farray<extended, 1, maxlna>& values,
                  extended unset, bool seta, const std::string& prefix, const std::string& what) {
  smallint c = 0;
  smallint i = 1;
  while (i <= NINFO) {
    if (c >= maxlna) SCRIPTFAULT("too many " + what + " in " + l.keyword);
    ++c;
    names[c] = INFOSTRING[i];
    values[c] = unset;
    std::string trace = prefix + names[c];
    if (NINFO > 1 && i + 1 <= NINFO && isintorreal(static_cast<smallint>(i + 1))) {
      extended v = INFOREAL[i + 1];
      if (seta) {
        // the activity is held as its natural logarithm
        if (!(v > 0)) SCRIPTFAULT("activity of " + names[c] + " must be greater than 0 in " + l.keyword);
        v = std::log(v);
      }
      values[c] = v;
      trace += tracevalue(v);
      i = static_cast<smallint>(i + 2);
    } else {
      trace += ") - to be set ";
      ++i;
    }
    IO::WRITETERMINAL(trace + "\n");
    // A name written again is the same variable: kept once when its value
    // agrees, refused when it does not.
    for (smallint j = 1; j < c; ++j)
      if (names[j] == names[c]) {
        if (values[j] != values[c]) TWICEFAULT(names[c], l.keyword);
        --c;
        break;
      }
  }
  return c;
}

void setalist(const scriptline& l) {
  const sstring& k = l.keyword;
  if (k == "seta")
    CONTROLJX.seta = l.sw;
  else if (k == "setlna")
    CONTROLJX.setlna = l.sw;
  else
    CONTROLJX.setloga = l.sw;
  if (l.sw == no) return;
  if (CALCMODE == calcmodetype::nlecalc) SCRIPTFAULT("for mode 1, use 'lna' script", "read scripts");
  if (NINFO == 0) return;
  NLNA = namelist(l, LNANAME, FIXEDLNA, 10, k == "seta", k == "setloga" ? "log a(" : "ln a(", "activities");
  LNALISTKEY = k;
}

void setmu(const scriptline& l) {
  CONTROLJX.setmu = l.sw;
  if (NINFO == 0 || l.sw == no) return;
  NMU = namelist(l, MUNAME, FIXEDMU, 0, false, "mu(", "chemical potentials");
}

void xco2values(const scriptline& l) {
  CONTROLJX.xco2values = l.sw == ask ? yes : l.sw;
  CONTROLJX.xco2low = 0;
  CONTROLJX.xco2high = 0;
  CONTROLJX.xco2inc = 0;
  if (CONTROLJX.xco2values != yes) return;
  smallint n = 0;
  if (!CHECKSCRIPTNR(l.keyword, n)) {
    IO::PUTSTR(1, "x(CO2): low, high and inc expected, or one or more values", 1, CHANNEL::TERMLOG);
    SCRIPTFAULT("info inappropriate");
  }
  if (n == 3 && INFOREAL[3] < INFOREAL[2]) {
    const extended low = INFOREAL[1], high = INFOREAL[2];
    extended inc = INFOREAL[3];
    if (!(low > 0 && high < 1 && low <= high && inc > 0 && inc <= high - low)) {
      IO::PUTSTR(1, "x(CO2): low, high and inc expected", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("values inappropriate");
    }
    // Weighed as a real before it becomes an integer: an increment tiny
    // beside the range gives a count no integer holds.
    const extended steps = std::trunc((high - low) / inc) + 1;
    long count = maxxco2values;
    if (steps + 1 > maxxco2values)
      inc = (high - low) / (maxxco2values - 1);
    else
      count = static_cast<long>(steps);
    for (long i = 1; i <= count; ++i) CONTROLJX.xco2list[i] = low + static_cast<extended>(i - 1) * inc;
    if (std::fabs(CONTROLJX.xco2list[count] - high) > 1e-8L && count < maxxco2values) {
      ++count;
      CONTROLJX.xco2list[count] = high;
    }
    CONTROLJX.nxco2values = static_cast<smallint>(count);
    CONTROLJX.xco2low = low;
    CONTROLJX.xco2high = high;
    CONTROLJX.xco2inc = inc;
    return;
  }
  for (smallint i = 1; i <= n; ++i) {
    if (!(INFOREAL[i] > 0 && INFOREAL[i] < 1)) {
      IO::PUTSTR(1, "x(CO2): list of values between 0 and 1 expected", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("values inappropriate");
    }
    CONTROLJX.xco2list[i] = INFOREAL[i];
  }
  CONTROLJX.nxco2values = n;
}

void setfluid(const scriptline& l) {
  CONTROLJX.setfluid = l.sw;
  if (l.sw == no) return;
  FIXEDXCO2 = 0;
  FIXEDXH2O = 1;
  if (CHECKSCRIPTR(l.keyword, 0, 1)) {
    FIXEDXCO2 = INFOREAL[1];
    FIXEDXH2O = 1 - INFOREAL[1];
  } else {
    CONTROLJX.setfluid = no;
  }
}

void maxsd(const scriptline& l, controlboolean& sw, extended& value, extended deflt, extended lo, extended hi) {
  sw = l.sw;
  value = deflt;
  if (l.sw == no) return;
  if (CHECKSCRIPTR(l.keyword, lo, hi))
    value = INFOREAL[1];
  else
    sw = no;
}

}  // namespace

bool KEYWORDSWINDOW(const scriptline& l) {
  const sstring& k = l.keyword;
  if (k == "axfile") {
    if (CHECKSCRIPTS(k)) {
      IO::CHECKNAMEBYTES(INFOSTRING[1], "the axfile suffix", "reading scripts");
      IO::CONTROLIO.axfile = INFOSTRING[1];
    }
  } else if (k == "calctype") {
    calctype(l);
  } else if (k == "calcTatP" || k == "calctatp") {
    CONTROLJX.calcTatP = l.sw;
  } else if (k == "diagramPT" || k == "figurePT" || k == "windowPT") {
    diagrampt(l);
  } else if (k == "calcP") {
    calcp(l);
  } else if (k == "calcT") {
    calct(l);
  } else if (k == "setptforaxe" || k == "ptforaxe") {
    ptforaxe(l);
  } else if (k == "fluidpresent") {
    CONTROLJX.fluidpresent = l.sw;
  } else if (k == "fluidexcess") {
    CONTROLJX.fluidexcess = l.sw;
  } else if (k == "figure" || k == "fig") {
    figure(l);
  } else if (k == "buffer") {
    buffer(l);
  } else if (k == "lna") {
    lna(l);
  } else if (k == "seta" || k == "setlna" || k == "setloga") {
    setalist(l);
  } else if (k == "setmu" || k == "mu") {
    setmu(l);
  } else if (k == "calcx(CO2)" || k == "calcx(co2)" || k == "x(CO2)values" || k == "xco2values") {
    xco2values(l);
  } else if (k == "setfluid" || k == "x(CO2)") {
    setfluid(l);
  } else if (k == "setmaxsdt" || k == "maxsdt") {
    maxsd(l, CONTROLJX.maxsdt, CONTROLJX.maxsdtvalue, 50, 25, 600);
  } else if (k == "setmaxsdp" || k == "maxsdp") {
    maxsd(l, CONTROLJX.maxsdp, CONTROLJX.maxsdpvalue, 5, 0.05L, 20);
  } else {
    return false;
  }
  return true;
}

}  // namespace ZQSCRIPT
