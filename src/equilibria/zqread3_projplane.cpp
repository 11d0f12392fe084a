// The projection plane of the compatibility diagram: the script's plane
// when it fits the free components, else the apices asked as an oxide list
// or apex by apex and written back to the log in script form; then one apex
// per non-solution phase in excess, and the report.
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_projection.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr smallint maxapices = 8;         // apices of a plane, its own and the phases in excess
constexpr extended integerwithin = 1e-4L;  // a copy-back value this near an integer is written as one
constexpr smallint copywidth = 6;          // fields of the copy-back block
constexpr smallint reportwidth = 8;        // fields of the report
constexpr smallint reportplaces = 3;       // decimals of the copy-back block and the report
const char* const rule = "% ----------------------------------------------------------";

// The line naming the plane's size and what the phases in excess take up.
void announce(const std::vector<sstring>& f) {
  std::string s = "projection plane has " + IO::INT2STR(NPROJAPEX) + " apices";
  if (NPINEX == 0) {
    IO::PUTSTR(0, s, 1, CHANNEL::TERMLOG);
    return;
  }
  s += ", leaving ";
  for (const sstring& n : f) s += n + " ";
  IO::PUTSTR(1, s, 1, CHANNEL::TERMLOG);
  s = "to be represented by ";
  for (long i = 1; i <= NPSS; ++i)
    if (PINEX[i]) s += (*PREC1)[i].name + " ";
  for (long i = NPSS + 1; i <= NP; ++i)
    if (PINEX[i]) s += (*PREC0)[i - NPSS].name + " ";
  IO::PUTSTR(0, s + "and the projection plane", 1, CHANNEL::TERMLOG);
}

// Apex a as free component k (1-based).
void oneoxide(smallint a, std::size_t k, const std::vector<sstring>& f) {
  PROJNAMES[a] = f[k - 1];
  PROJPLANE(a, static_cast<long>(k)) = 1;
}

// Code 0: the apices as positions in the free-component list; false when
// the answer cannot be used.
bool byoxidelist(const std::vector<sstring>& f) {
  IO::strings words;
  smallint n = 0;
  IO::PROMPTSTRINGS("oxide list (" + IO::INT2STR(NPROJAPEX) + " indices)", words, n);
  if (n != NPROJAPEX) IO::PROMPTSTRINGS(IO::INT2STR(NPROJAPEX) + " needed: try again", words, n);
  if (n != NPROJAPEX) {
    IO::PUTSTR(0, "still not correct: no projection will be undertaken", 1, CHANNEL::TERMLOG);
    return false;
  }
  for (smallint a = 1; a <= NPROJAPEX; ++a) {
    smallint k = 0;
    std::string msg;
    const bool integer = IO::WHATISSTRING(words[a]) == valuetype::aninteger && IO::STR2INT(words[a], k, msg);
    if (!integer || k < 1 || k > NUVLEFT) {
      IO::PUTSTR(0, "not all integers: no projection will be undertaken", 1, CHANNEL::TERMLOG);
      return false;
    }
    oneoxide(a, static_cast<std::size_t>(k), f);
  }
  return true;
}

// Code 1: each apex by its name, a free component's or one followed by
// (or asked for) its composition.
void apexbyapex(const std::vector<sstring>& f) {
  for (smallint a = 1; a <= NPROJAPEX; ++a) {
    IO::strings words;
    smallint n = 0;
    IO::PROMPTSTRINGS(std::string(IO::NTH[a]) + " apex name", words, n);
    PROJNAMES[a] = words[1];
    bool done = false;
    for (std::size_t k = 1; k <= f.size() && !done; ++k)
      if (f[k - 1] == words[1]) {
        oneoxide(a, k, f);
        done = true;
      }
    if (done) continue;
    if (n == NUVLEFT + 1) {
      for (smallint k = 1; k <= NUVLEFT; ++k) {
        const sstring& w = words[k + 1];
        extended v = 0;
        std::string msg;
        if (IO::WHATISSTRING(w) == valuetype::astring) IO::ERROREXIT("readprojplane", "short-cutting A", yourfault);
        if (!IO::STR2REAL(w, v, msg)) IO::ERROREXIT("readprojplane", "short-cutting B", yourfault);
        PROJPLANE(a, k) = v;
      }
      continue;
    }
    IO::rrvector v{"apex composition"};
    smallint nv = NUVLEFT;
    IO::PROMPTREALS("apex composition", v, nv);
    for (smallint k = 1; k <= NUVLEFT; ++k) PROJPLANE(a, k) = v[k];
  }
}

// The apices asked for; false when no projection is to be made.
bool askapices(const std::vector<sstring>& f) {
  std::string s = "compositions of the " + IO::INT2STR(NPROJAPEX) + " apices are needed in terms of: ";
  for (const sstring& n : f) s += n + " ";
  IO::PUTSTR(1, s, 1, CHANNEL::TERMLOG);
  IO::PUTSTR(1, "specify apices:", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "    0: by oxide list (when each apex just an oxide)", 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, "    1: apex by apex (eg when some apices are composite)", 1, CHANNEL::TERMLOG);
  smallint code = 0;
  IO::PROMPTINTEGER("code", code);
  if (code == 1) {
    apexbyapex(f);
    return true;
  }
  return byoxidelist(f);
}

// The plane as the script would give it, to the log.
void copyback() {
  IO::PUTSTR(1, "in form to copy to scriptfile:", 2, CHANNEL::LOG);
  IO::PUTSTR(0, rule, 1, CHANNEL::LOG);
  std::string s = "projplane" + IO::BLANKSTRING(10);
  for (const sstring& n : FREECOMPONENTS(true)) IO::ADDNAME(n, copywidth, s);
  IO::PUTSTR(0, s, 1, CHANNEL::LOG);
  IO::PUTSTR(0, rule, 1, CHANNEL::LOG);
  for (smallint a = 1; a <= NPROJAPEX; ++a) {
    s = "projplane    ";
    IO::ADDNAME(PROJNAMES[a], -copywidth, s);
    for (smallint k = 1; k <= NUVLEFT; ++k) {
      const extended v = PROJPLANE(a, k);
      if (v == 0)
        IO::ADDSTR("0", copywidth, s);
      else
        IO::ADDWHOLEORREAL(v, integerwithin, reportplaces, copywidth, s);
    }
    IO::PUTSTR(0, s, 1, CHANNEL::LOG);
  }
  IO::PUTSTR(0, rule, 2, CHANNEL::LOG);
}

// One apex more per non-solution phase in excess, its composition over the
// free components.
void excessapices() {
  smallint a = NPROJAPEX;
  for (long i = NPSS + 1; i <= NP; ++i) {
    if (!PINEX[i]) continue;
    if (++a > maxapices) IO::ERROREXIT("readprojplane", "system too big", yourfault);
    const ptype0& p = (*PREC0)[i - NPSS];
    PROJNAMES[a] = p.name;
    smallint k = 0;
    for (long j = 1; j <= NUV; ++j)
      if (BCOMPS[j]) PROJPLANE(a, ++k) = static_cast<extended>(p.comp[j]) / static_cast<extended>(COMPDIV[j]);
  }
  NPROJAPEX = static_cast<smallint>(NPROJAPEX + IENPROJPLANE);
}

void report(bool fromscript, const std::vector<sstring>& f) {
  IO::PUTSTR(1, fromscript ? "projection plane (from script) " : "projection plane ", 1, CHANNEL::TERMSUMLOG);
  std::string s = IO::BLANKSTRING(6);
  for (const sstring& n : f) IO::ADDNAME(n, reportwidth, s);
  IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  for (smallint a = 1; a <= NPROJAPEX - IENPROJPLANE; ++a) {
    s.clear();
    IO::ADDNAME(PROJNAMES[a], -6, s);
    for (smallint k = 1; k <= NUVLEFT; ++k) IO::ADDREAL(PROJPLANE(a, k), reportplaces, true, reportwidth, s);
    IO::PUTSTR(0, s, 1, CHANNEL::TERMSUMLOG);
  }
}

// The plane's apices, its own and those of the pure phases in excess, must
// be independent: a combination of the others leaves some free component
// unreachable, and every projected row would show that combination in
// place of the phase. The phase of a mu or ln a variable has nothing in
// the free components and spans no direction; it is left out.
void checkindependent() {
  std::vector<std::vector<extended>> cols;
  std::vector<std::string> names;
  const smallint own = static_cast<smallint>(NPROJAPEX - IENPROJPLANE);
  smallint a = own;
  for (smallint k = 1; k <= own; ++k) {
    cols.emplace_back();
    for (smallint i = 1; i <= NUVLEFT; ++i) cols.back().push_back(PROJPLANE(k, i));
    names.push_back(PROJNAMES[k]);
  }
  for (long i = NPSS + 1; i <= NP; ++i) {
    if (!PINEX[i]) continue;
    ++a;
    if (ZQNLE3::VARIABLEPHASE(i)) continue;
    cols.emplace_back();
    for (smallint k = 1; k <= NUVLEFT; ++k) cols.back().push_back(PROJPLANE(a, k));
    names.push_back(PROJNAMES[a]);
  }
  const std::string dependency = APEXDEPENDENCY(cols, names);
  if (!dependency.empty())
    IO::ERROREXIT("readprojplane", "apices of the projection plane not independent: " + dependency, yourfault);
}

}  // namespace

void READPROJPLANE() {
  SETTER();
  controljxtype& c = CONTROLJX;
  const smallint own = static_cast<smallint>(NUV - NPINEX - (EXBUFF ? 1 : 0));
  IO::PROMPTCONTROL("use projection plane specified in scriptfile", c.projplane);
  const bool fromscript = c.projplane == yes && NPROJAPEX == own && c.projplanedata == NUVLEFT;
  NPROJAPEX = own;
  if (NPROJAPEX > maxapices) IO::ERROREXIT("readprojplane", "too big", yourfault);
  if (NPROJAPEX < 1) IO::ERROREXIT("readprojplane", "no projection plane", yourfault);
  if (!fromscript)
    for (smallint a = 1; a <= NPROJAPEX; ++a)
      for (smallint k = 1; k <= NUVLEFT; ++k) PROJPLANE(a, k) = 0;
  const std::vector<sstring> f = FREECOMPONENTS(false);
  if (static_cast<smallint>(f.size()) != NUVLEFT) IO::ERROREXIT("readprojplane", "wrong size of compname", yourfault);
  if (fromscript)
    for (std::size_t k = 1; k <= f.size(); ++k)
      if (f[k - 1] != PROJPLANEC[static_cast<long>(k)]) IO::ERROREXIT("readprojplane", "oxides don't match", yourfault);
  IENPROJPLANE = 0;
  for (long i = NPSS + 1; i <= NP; ++i)
    if (PINEX[i]) ++IENPROJPLANE;
  announce(f);
  if (!fromscript) {
    if (!askapices(f)) {
      c.project = no;
      return;
    }
    // Each apex is a corner of its own: a name typed again would leave the
    // plane a corner short.
    for (smallint a = 2; a <= NPROJAPEX; ++a)
      for (smallint b = 1; b < a; ++b)
        if (PROJNAMES[a] == PROJNAMES[b])
          IO::ERROREXIT("readprojplane", PROJNAMES[a] + " given twice as an apex", yourfault);
    copyback();
  }
  excessapices();
  report(fromscript, f);
  checkindependent();
}

}  // namespace ZQREAD3
