// Evaluation and printing of a-x expressions, and the small services built
// on them.
#include <cstdlib>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

namespace {

// The coefficients of an expression have always been formed in double
// precision from their two integers; results printed to the last digit
// depend on that, so widen only afterwards.
extended ratio(smallint n, smallint d) {
  if (d == 0) IO::ERROREXIT("substerm", "zero denominator in an a-x expression", yourfault);
  return static_cast<extended>(static_cast<double>(n) / static_cast<double>(d));
}

std::string fraction(smallint n, smallint d) {
  return d == 1 ? IO::INT2STR(n) : IO::INT2STR(n) + "/" + IO::INT2STR(d);
}

}  // namespace

extended SUBSTERM(const termtype& term, const eqvector& x, smallint offset) {
  extended value = 0;
  for (long t = 1; t <= term.nterms; ++t) {
    const sxtermtype& st = term.terms[t];
    if (st.coef == 0) continue;
    extended product = 1;
    for (long f = 1; f <= st.nfactors; ++f) {
      const xtermtype& xf = st.factors[f];
      extended s = ratio(xf.cn, xf.cd);
      for (long k = 1; k <= xf.m; ++k) s = s + ratio(xf.an[k], xf.ad[k]) * x[xf.v[k] + offset - 1];
      product = product * s;
    }
    value = value + st.coef * product;
  }
  return value;
}

void EXTRACTVNAME(smallint phase, nametype& names) {
  const ptype1& p = (*PREC1)[phase];
  if (p.nprop < 2) return;
  for (long k = 1; k <= p.nvar; ++k) {
    std::string n = p.xvar[k].name;
    if (n.rfind("p(", 0) == 0) {
      n = n.substr(2, n.size() >= 3 ? n.size() - 3 : 0);
    } else {
      const std::size_t cut = n.find_first_of("([");
      if (cut != std::string::npos) n = n.substr(0, cut);
    }
    names[k] = n;
  }
}

namespace {
// The linear factor's constant and its terms in the variables, in the
// readable algebra of WRITETERM.
void writefactor(const xtermtype& f, const nametype& vnames, const std::string& times, std::string& line) {
  if (f.cn != 0) line += fraction(f.cn, f.cd);
  for (long k = 1; k <= f.m; ++k) {
    const bool leading = k == 1 && f.cn == 0;
    if (f.an[k] < 0) {
      line += leading ? "-" : " - ";
    } else if (!leading) {
      line += " + ";
    }
    const smallint mag = static_cast<smallint>(std::abs(f.an[k]));
    if (!(mag == 1 && f.ad[k] == 1)) line += fraction(mag, f.ad[k]) + times;
    const long v = f.v[k];
    line += v >= 1 && v <= maxssem ? vnames[v] : IO::INT2STR(v);
  }
}
}  // namespace

void WRITETERM(const termtype& term, const sstring& name, smallint phase, longint mask) {
  const std::string times = CONTROLJX.magemin == yes ? " " : "*";
  std::string& line = IO::WSTR;
  line = "   " + name + " = ";
  if (term.nterms == 0 || (term.nterms == 1 && term.terms[1].coef == 0)) {
    line += "0";
  } else {
    nametype vnames{"vnames"};
    EXTRACTVNAME(phase, vnames);
    auto coefficient = [&](extended c) {
      if (c < 0) line += "(";
      IO::ADDREAL(c, 2, true, 0, line);
      if (c < 0) line += ")";
      line += " ";
    };
    for (long i = 1; i <= term.nterms; ++i) {
      const sxtermtype& st = term.terms[i];
      if (line.size() > 150) {
        IO::PUTSTR(0, line, 1, mask);
        line = std::string(8, ' ');
      }
      if (st.coef == 1) {
        if (i > 1) line += " + ";
      } else if (term.nterms == 1) {
        coefficient(st.coef);
      } else {
        if (st.coef > 0 && i > 1) line += " + ";
        if (st.coef < 0) line += i == 1 ? "-" : " - ";
        // The sign is written already: the magnitude follows.
        if (st.coef != 1 && st.coef != -1) coefficient(st.coef < 0 ? -st.coef : st.coef);
      }
      for (long j = 1; j <= st.nfactors; ++j) {
        const xtermtype& f = st.factors[j];
        if (j > 1) line += times;
        if (f.m == 0) {
          line += fraction(f.cn, f.cd);
          continue;
        }
        const bool lonepart = f.m == 1 && f.cn == 0 && f.an[1] > 0;
        const bool paren = (st.nfactors >= 2 && !lonepart) || (i > 1 && f.cn == 0 && f.an[1] < 0);
        if (paren) line += "(";
        writefactor(f, vnames, times, line);
        if (paren) line += ")";
      }
    }
  }
  IO::PUTSTR(0, line, 1, mask);
  line.clear();
}

void PHASECOMPOSITION(const ptype1& p, const eqvector& x, cvector& comp) {
  comp.fill(0);
  for (long e = 1; e <= p.nprop; ++e) {
    const extended pe = SUBSTERM(p.prop[e], x, 1);
    for (long j = 1; j <= NUV; ++j)
      comp[j] += pe * static_cast<extended>(p.em[e].comp[j]) / static_cast<extended>(COMPDIV[j]);
  }
}

bool XYZLEGAL(smallint phase) {
  const ptype1& p = (*PREC1)[phase];
  if (p.nsf <= 0) return true;
  eqvector x{"xyzlegal x"};
  for (long v = 1; v <= p.nvar; ++v) x[v] = p.xvar[v].guess;
  for (long i = 1; i <= p.nsf; ++i)
    if (SUBSTERM(p.sf[i], x, 1) <= 0) return false;
  return true;
}

void PRINTPHASES(const bemvector& selected) {
  std::string& line = IO::WSTR;
  line.clear();
  for (long i = 1; i <= NPSS + NP0; ++i) {
    const sstring& n = i <= NPSS ? (*PREC1)[i].name : (*PREC0)[i - NPSS].name;
    IO::ADDSTR(selected[i] ? " " + n + " " : " (" + n + ") ", 7, line);
  }
  IO::ADDSTR("", 5, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line.clear();
}

}  // namespace ZQUTE1
