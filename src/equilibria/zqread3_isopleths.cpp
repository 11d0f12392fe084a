// Isopleths: the phases whose modes are fixed, the x(CO2) series and the
// compositional variables fixed at a series of values, with the lookup of
// the names chosen and the value series themselves.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr extended sameend = 1e-8L;      // a series whose ends are this close is one value
constexpr extended defaultinc = 0.001L;  // the increment of a single value
constexpr smallint thinned = 101;        // values of a series too long for its list
constexpr smallint maxmodeiso = 2;       // mode isopleths at once

// A name list to choose from: each entry's name and its second name, and
// what the entry is (phase number, or phase and variable).
struct choice {
  std::vector<sstring> name, second;
  std::vector<smallint> phase, var;
};

// The entry a typed or scripted word names: an integer is a position, any
// other word a name or else a second name; 0-based. A bad position stops in
// poswhere, an unknown name in where.
std::size_t lookup(const choice& c, const sstring& w, const std::string& where, const std::string& poswhere) {
  const valuetype vt = IO::WHATISSTRING(w);
  if (vt == valuetype::aninteger) {
    const smallint k = IO::GETINTEGER(vt, w, "isoname");
    if (k < 1 || static_cast<std::size_t>(k) > c.name.size())
      IO::ERROREXIT(poswhere, "position for isopleth out of range", yourfault);
    return static_cast<std::size_t>(k - 1);
  }
  for (std::size_t i = 0; i < c.name.size(); ++i)
    if (c.name[i] == w) return i;
  for (std::size_t i = 0; i < c.second.size(); ++i)
    if (c.second[i] == w) return i;
  IO::ERROREXIT(where, w + " not recognised", yourfault);
}

std::string shown(extended v) { return IO::REAL2STR(v, IO::NPLACES(v), true); }

// " set to " and the values of list k, as the reports write them.
std::string valuestext(smallint k, bool zeroword, const std::string& between) {
  const smallint n = NLISO[k];
  if (n == 1 && zeroword && LISO(k, 1) == 0) return "zero";
  if (n == 1) return shown(LISO(k, 1));
  return between + "values between " + shown(LISO(k, 1)) + " and " + shown(LISO(k, n));
}

// Three numbers, or one (low = high), or none when a mode takes 0.
bool askvalues(const std::string& prompt, bool nonemeanszero, extended& low, extended& high, extended& inc) {
  IO::rrvector v;
  smallint n = 0;
  IO::PROMPTREALS(prompt, v, n);
  if (n == 0 && nonemeanszero) {
    low = high = 0;
    inc = defaultinc;
  } else if (n == 1) {
    low = high = v[1];
    inc = defaultinc;
  } else if (n == 3) {
    low = v[1];
    high = v[2];
    inc = v[3];
  } else {
    IO::ERROREXIT("readisopleths", "1 or 3 numbers expected", yourfault);
  }
  return true;
}

bool isfluidx(const sstring& name) { return name == "x(CO2)" || name == "x(fluid)"; }

}  // namespace

namespace {

// The values of one series, as SERIES stores them.
std::vector<extended> seriesvalues(extended low, extended high, extended inc) {
  if (std::fabs(high - low) < sameend) return {low};
  if (inc >= high - low) return {low, high};
  // Counted as a real: an increment tiny beside the range gives a count no
  // integer holds. With high appended the list must still fit: else thin
  // it to 101 values.
  const extended count = std::trunc((high - low) / inc) + 1;
  const bool appends = std::fabs(high - (low + inc * (count - 1))) > sameend;
  long n = thinned;
  if (count + (appends ? 1 : 0) > maxlistvalues)
    inc = (high - low) / (thinned - 1);
  else
    n = static_cast<long>(count);
  std::vector<extended> v;
  for (long k = 1; k <= n; ++k) v.push_back(low + inc * static_cast<extended>(k - 1));
  if (std::fabs(high - v.back()) > sameend) v.push_back(high);
  return v;
}

// Whether choice k (0-based) names the entry of an earlier choice; its
// series must then be that choice's, else the run ends naming it.
bool repeated(const std::vector<std::size_t>& chosen, const std::vector<std::vector<extended>>& series, std::size_t k,
              const sstring& name, const std::string& where) {
  for (std::size_t j = 0; j < k; ++j) {
    if (chosen[j] != chosen[k]) continue;
    if (series[j] != series[k]) IO::ERROREXIT(where, name + " given twice with different values", yourfault);
    return true;
  }
  return false;
}

}  // namespace

void SERIES(extended low, extended high, extended inc, smallint row) {
  const std::vector<extended> v = seriesvalues(low, high, inc);
  for (std::size_t k = 0; k < v.size(); ++k) LISO(row, static_cast<smallint>(k + 1)) = v[k];
  NLISO[row] = static_cast<smallint>(v.size());
}

sstring SHORTEN(const sstring& name) {
  const std::size_t at = name.find('_');
  return at == std::string::npos ? name : name.substr(0, at);
}

void READMODEISOPLETHS() {
  IO::SETTINGSHEAD("mode isopleths", CHANNEL::TERMLOG);
  controljxtype& c = CONTROLJX;
  const bool script = c.modeiso == yes;
  const sstring m1 = script ? c.modeisoname1 : sstring(), m2 = script ? c.modeisoname2 : sstring();
  if (c.zeromodeiso == yes && !c.zeromodename1.empty()) {
    if (c.zeromodename1 == m1 || c.zeromodename1 == m2)
      IO::ERROREXIT("readmodeisopleths", "phase overlap1 between modeisopleth and zeromodeiso", yourfault);
    if (!c.zeromodename2.empty() && (c.zeromodename2 == m1 || c.zeromodename2 == m2))
      IO::ERROREXIT("readmodeisopleths", "phase overlap2 between modeisopleth and zeromodeiso", yourfault);
  }
  if (NPSS + NP0 != NP) IO::ERROREXIT("readmodeisopleths", "phases don't add up", yourfault);
  choice list;
  for (long i = 1; i <= NP; ++i) {
    list.name.push_back(i <= NPSS ? (*PREC1)[i].name : (*PREC0)[i - NPSS].name);
    list.second.push_back(i <= NPSS ? (*PREC1)[i].longname : (*PREC0)[i - NPSS].name);
  }

  std::vector<std::size_t> chosen;
  if (!m1.empty()) {
    for (const sstring& n : {m1, m2})
      if (!n.empty()) chosen.push_back(lookup(list, n, "readmodeisopleths", "readmodeisopleths"));
  } else if (!c.zeromodename1.empty()) {
    for (const sstring& n : {c.zeromodename1, c.zeromodename2})
      if (!n.empty()) chosen.push_back(lookup(list, n, "readisopleths", "readmodeisopleths"));
  } else {
    std::string line = c.zeromodeiso == yes ? "you may set zero modal proportions, from: " : "you may set modal proportions, from:";
    for (const sstring& n : list.name) line += n + " ";
    IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
    IO::strings words;
    smallint n = 0;
    IO::PROMPTSTRINGS("which to set", words, n);
    for (long j = 1; j <= n; ++j) chosen.push_back(lookup(list, words[j], "readisopleths", "readmodeisopleths"));
    if (c.zeromodeiso == yes) {
      if (chosen.size() > 2) chosen.resize(2);
      c.zeromodename1 = chosen.size() >= 1 ? list.name[chosen[0]] : sstring();
      c.zeromodename2 = chosen.size() >= 2 ? list.name[chosen[1]] : sstring();
    }
  }

  std::vector<std::vector<extended>> series(chosen.size());
  for (std::size_t k = 1; k <= chosen.size(); ++k) {
    const long ph = static_cast<long>(chosen[k - 1]) + 1;
    const bool again = std::find(chosen.begin(), chosen.begin() + static_cast<long>(k - 1), chosen[k - 1]) !=
                       chosen.begin() + static_cast<long>(k - 1);
    if (!again) {
      if (NISO >= maxisolists) IO::ERROREXIT("mode isopleths", "too many isopleths", yourfault);
      ++NISO;
      if (ph <= NPSS) {
        (*PREC1)[ph].modeset = true;
        (*PREC1)[ph].modelist = NISO;
      } else {
        (*PREC0)[ph - NPSS].modeset = true;
        (*PREC0)[ph - NPSS].modelist = NISO;
      }
    }
    extended low = 0, high = 0, inc = defaultinc;
    const bool first = k == 1, second = k == 2;
    const extended shigh = first ? c.modeisohigh1 : c.modeisohigh2;
    const sstring& zero = first ? c.zeromodename1 : c.zeromodename2;
    if ((first || second) && script && shigh > 0) {
      low = first ? c.modeisolow1 : c.modeisolow2;
      high = shigh;
      inc = first ? c.modeisoinc1 : c.modeisoinc2;
    } else if ((first || second) && !zero.empty()) {
      // a zero mode
    } else {
      IO::PUTSTR(1, "specifying mode isopleths for " + list.name[chosen[k - 1]] + ":", 1, CHANNEL::TERMLOG);
      askvalues("  list of values OR start, finish, interval", true, low, high, inc);
      if (low > high || inc <= 0 || low < 0 || high >= 1) {
        IO::PUTSTR(1, "mode isopleth: low, high and increment expected, or one value", 0, CHANNEL::TERMLOG);
        IO::ERROREXIT("readmodeisopleths", "isopleth values inappropriate", yourfault);
      }
    }
    // A phase chosen again fixes nothing new: its values must be the ones it
    // was given first.
    series[k - 1] = seriesvalues(low, high, inc);
    if (repeated(chosen, series, k - 1, list.name[chosen[k - 1]], "readmodeisopleths")) continue;
    SERIES(low, high, inc, NISO);
  }
  if (NISO > maxmodeiso) IO::ERROREXIT("readmodeiso", "too many modes set", yourfault);
  NMODEISO = NISO;
  if (NISO == 0 && VARIANCE < 3) {
    MODESBYNLE = false;
    MODESAFTERNLE = true;
  }
  for (long i = 1; i <= NPSS && NISO > 0; ++i) {
    if (!(*PREC1)[i].modeset || PINEX[i]) continue;
    PMBP[i] = true;
    ++NPMBP;
  }
  if (NISO == 0) {
    IO::PUTSTR(0, "no modes set", 1, CHANNEL::TERMLOG);
    return;
  }
  for (long i = 1; i <= NP; ++i) {
    const bool set = i <= NPSS ? (*PREC1)[i].modeset : (*PREC0)[i - NPSS].modeset;
    if (!set) continue;
    const smallint k = i <= NPSS ? (*PREC1)[i].modelist : (*PREC0)[i - NPSS].modelist;
    IO::PUTSTR(0, "mode of " + list.name[static_cast<std::size_t>(i - 1)] + " set to " + valuestext(k, true, " "), 1,
               CHANNEL::TERMLOG);
  }
}

void READXCO2VALUES() {
  IO::SETTINGSHEAD("x(CO2) calcs", CHANNEL::TERMLOG);
  smallint ph = 0, var = 0;
  for (long i = 1; i <= NPSS; ++i)
    for (long v = 1; v <= (*PREC1)[i].nvar; ++v)
      if (isfluidx((*PREC1)[i].xvar[v].name)) {
        ph = static_cast<smallint>(i);
        var = static_cast<smallint>(v);
      }
  if (ph == 0) IO::ERROREXIT("readxco2values", "x(CO2) not present", yourfault);
  ++NISO;
  xvartype& x = (*PREC1)[ph].xvar[var];
  x.isset = true;
  x.setindex = NISO;
  const smallint n = CONTROLJX.nxco2values;
  for (long k = 1; k <= n; ++k) {
    const extended v = CONTROLJX.xco2list[k];
    LISO(NISO, k) = LXCO2[k] = v;
    LXH2O[k] = 1 - v;
  }
  NLISO[NISO] = NLX = n;
  XCO2LOW = LXCO2[1];
  XCO2HIGH = LXCO2[n];
  FIXEDXCO2 = 0.5L * (XCO2LOW + XCO2HIGH);
  FIXEDXH2O = 1 - FIXEDXCO2;
  NXYZISO = 1;
  PMBP[ph] = true;
  ++NPMBP;
  IO::PUTSTR(0, "x(CO2) set to " + valuestext(NISO, false, ""), 1, CHANNEL::TERMLOG);
}

namespace {

// Whether v for variable var of solution phase ph, the other variables at
// their starting guesses, keeps every site fraction positive.
bool ISLEGAL(smallint ph, smallint var, extended v) {
  const ptype1& p = (*PREC1)[ph];
  if (p.hasorder) return true;
  const xvartype& xv = p.xvar[var];
  if (v < xv.low || v > xv.high) return false;
  eqvector x{"islegal x"};
  for (long j = 1; j <= p.nvar; ++j) x[j] = p.xvar[j].guess;
  x[var] = v;
  for (long k = 1; k <= p.nsf; ++k)
    if (ZQUTE1::SUBSTERM(p.sf[k], x, 1) <= 0) return false;
  return true;
}

// The paragraph on the values dropped; none left ends the run.
void illegalvalues(const sstring& name, long given, long kept) {
  IO::eestrtype& e = IO::EESTR;
  for (long i = 1; i <= IO::maxeelines; ++i) e[i].clear();
  if (kept == 0) {
    e[1] = given == 1 ? "the input isopleth value for " + name + " leads to "
                      : "all of the input isopleth values for " + name + " lead to ";
    e[2] = "negative site fractions with the given starting guesses for the other variables. Negative site fractions are "
           "illegal. ";
    e[3] = "You will need to look at the starting guesses in the context of the axfile coding and work out how to allow "
           "the isopleth value(s).";
    IO::FORMATTEXT(e);
    IO::ERROREXIT("readisopleths", "no legal isopleth values for " + name, yourfault);
  }
  e[1] = given - kept == 1 ? "one input isopleth value for " + name + " leads to "
                           : "some of the input isopleth values for " + name + " lead to ";
  e[2] = "negative site fractions with the given starting guesses for the other variables. The illegal isopleths have "
         "been ignored. ";
  e[3] = "You will need to look at the starting guesses in the context of the axfile coding and work out how to allow "
         "the isopleth value(s). ";
  IO::FORMATTEXT(e);
  if (!IO::QUERY("do you want to continue")) IO::USERINTERRUPT();
}

}  // namespace

void READISOPLETHS() {
  IO::SETTINGSHEAD("xyz isopleths", CHANNEL::TERMLOG);
  const controljxtype& c = CONTROLJX;
  const bool script = c.isopleth == yes;
  choice list;
  for (long i = 1; i <= NPSS; ++i)
    for (long v = 1; v <= (*PREC1)[i].nvar; ++v) {
      list.name.push_back((*PREC1)[i].xvar[v].name);
      list.second.push_back((*PREC1)[i].xvar[v].readname);
      list.phase.push_back(static_cast<smallint>(i));
      list.var.push_back(static_cast<smallint>(v));
    }
  std::vector<std::size_t> chosen;
  if (!script || c.isoname1.empty()) {
    if (list.name.empty()) IO::ERROREXIT("readisopleths", "no xyz variables available to be set", yourfault);
    std::string line = "set compositional variables, from:";
    for (const sstring& n : list.name) line += n + " ";
    IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
    IO::strings words;
    smallint n = 0;
    IO::PROMPTSTRINGS("which to set", words, n);
    for (long j = 1; j <= n; ++j) chosen.push_back(lookup(list, words[j], "readisopleths", "readisopleths"));
  } else {
    chosen.push_back(lookup(list, c.isoname1, "readisopleths", "readisopleths"));
    if (!c.isoname2.empty()) chosen.push_back(lookup(list, c.isoname2, "readisopleths", "readisopleths"));
  }

  std::vector<std::vector<extended>> series(chosen.size());
  for (std::size_t k = 1; k <= chosen.size(); ++k) {
    const std::size_t at = chosen[k - 1];
    const sstring& name = list.name[at];
    const smallint ph = list.phase[at], var = list.var[at];
    const bool again = std::find(chosen.begin(), chosen.begin() + static_cast<long>(k - 1), at) !=
                       chosen.begin() + static_cast<long>(k - 1);
    if (!again) {
      if (NISO >= maxisolists) IO::ERROREXIT("isopleths", "too many isopleths", yourfault);
      ++NISO;
      xvartype& xv = (*PREC1)[ph].xvar[var];
      xv.isset = true;
      xv.setindex = NISO;
    }
    if (isfluidx(name)) {
      IO::PUTSTR(1, "implementation change", 0, CHANNEL::TERMLOG);
      IO::ERROREXIT("readisopleths", "use the calcx(CO2) script for setting x(CO2)", yourfault);
    }
    extended low = 0, high = 0, inc = defaultinc;
    const extended shigh = k == 1 ? c.isohigh1 : c.isohigh2;
    if (k <= 2 && script && shigh > 0) {
      low = k == 1 ? c.isolow1 : c.isolow2;
      high = shigh;
      inc = k == 1 ? c.isoinc1 : c.isoinc2;
    } else {
      IO::PUTSTR(1, "specifying isopleths for " + name + ":", 1, CHANNEL::TERMLOG);
      askvalues("  low, high, inc OR one value", false, low, high, inc);
      if (high < low || inc <= 0 || low < 0 || high > 1) {
        IO::PUTSTR(1, "isopleth: low, high and increment expected, or one value", 0, CHANNEL::TERMLOG);
        IO::ERROREXIT("readisopleths", "isopleth values inappropriate", yourfault);
      }
    }
    series[k - 1] = seriesvalues(low, high, inc);
    if (repeated(chosen, series, k - 1, name, "readisopleths")) continue;
    SERIES(low, high, inc, NISO);
    const smallint given = NLISO[NISO];
    smallint kept = 0;
    for (long j = 1; j <= given; ++j)
      if (ISLEGAL(ph, var, LISO(NISO, j))) LISO(NISO, ++kept) = LISO(NISO, j);
    NLISO[NISO] = kept;
    if (kept < given) illegalvalues(name, given, kept);
  }
  NXYZISO = static_cast<smallint>(NISO - NMODEISO);
  for (long i = 1; i <= NPSS; ++i) {
    if (PINEX[i]) continue;
    for (long v = 1; v <= (*PREC1)[i].nvar; ++v) {
      if (!(*PREC1)[i].xvar[v].isset) continue;
      PMBP[i] = true;
      ++NPMBP;
    }
  }
  if (NXYZISO == (c.nxco2values > 0 ? 1 : 0)) {
    IO::PUTSTR(0, "no xyz isopleths specified", 1, CHANNEL::TERMLOG);
    return;
  }
  for (long i = 1; i <= NPSS; ++i)
    for (long v = 1; v <= (*PREC1)[i].nvar; ++v) {
      const xvartype& xv = (*PREC1)[i].xvar[v];
      if (!xv.isset || xv.name == "x(CO2)") continue;
      IO::PUTSTR(0, xv.name + " set to " + valuestext(xv.setindex, false, ""), 1, CHANNEL::TERMLOG);
    }
}

}  // namespace ZQREAD3
