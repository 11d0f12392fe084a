// The a-x expressions of the file: their two readers, their simplification
// when variables are zeroed, and their printing in the file's token form.
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

namespace {

[[noreturn]] void fail(const std::string& message) { IO::ERROREXIT("setup phases", message, yourfault); }

std::string ordinal(long i) { return IO::NTH[i]; }

std::string fraction(smallint n, smallint d) {
  return d == 1 ? IO::INT2STR(n) : IO::INT2STR(n) + "/" + IO::INT2STR(d);
}

}  // namespace

// One factor: the constant, the number of parts, then the pairs of
// multiplier and variable. lookup turns a variable token into its index.
template <class Lookup>
static void readfactor(axreader& r, xtermtype& f, long nf, const std::string& what, Lookup lookup) {
  const std::string fterm = ordinal(nf) + " term" + what;
  r.takerational("constant in " + fterm, f.cn, f.cd);
  const smallint m = r.takeinteger("no of terms in " + fterm);
  if (m < 0) fail("too few terms in x" + what);
  if (m > maxparts) fail("too many terms in x" + what + LIMITTEXT(maxparts));
  f.m = m;
  for (long k = 1; k <= m; ++k) {
    const std::string part = ordinal(k) + " of " + fterm;
    r.takerational("mult in " + part, f.an[k], f.ad[k]);
    const std::string msg = "index/name in " + part;
    r.INCKOK(msg);
    f.v[k] = lookup(msg);
  }
  if (m == 0 && f.cn == 0) fail("zero term" + what);
}

void axreader::READTERM(termtype& term, const std::string& what, bool single, bool withcoef) {
  const smallint nvar = (*PREC1)[NPSS].nvar;
  // A count of the expression, between 1 and most; a single term has none.
  auto count = [&](const std::string& name, const std::string& plural, smallint most) -> smallint {
    if (single) return 1;
    const smallint c = takeinteger("no of " + name + what);
    if (c < 1) fail("too few " + plural + what);
    if (c > most) fail("too many " + plural + what + LIMITTEXT(most));
    return c;
  };
  const smallint n = count("sxterms", "sxterms", maxterms);
  term.nterms = n;
  auto lookup = [&](const std::string& msg) -> smallint {
    if (pclass == valuetype::aninteger) {
      const smallint i = IO::GETINTEGER(pclass, prev, msg);
      if (i < 1 || i > nvar) fail("illegal " + msg);
      return i;
    }
    if (pclass != valuetype::astring) fail(prev + " not a " + msg);
    smallint k = 0;
    if (!IO::MATCHSTRING(prev, vnames, nvnames, k)) fail(prev + " not a variable name: " + msg);
    return k;
  };
  for (long t = 1; t <= n; ++t) {
    sxtermtype& st = term.terms[t];
    st.coef = 1;
    if (withcoef) {
      const std::string msg = "factor in " + what;
      const smallint c = takeinteger(msg);
      if (c == 0) fail(msg + " = 0");
      st.coef = c;
    }
    const smallint nf = count("xterms", "x terms", maxfactors);
    st.nfactors = nf;
    for (long f = 1; f <= nf; ++f) readfactor(*this, st.factors[f], f, what, lookup);
  }
}

void axreader::READTERMXYZ(termtype& term, smallint phase, smallint variable, const std::string& what) {
  xvartype& xv = (*PREC1)[phase].xvar[variable];
  xv.nnames = 0;
  for (long i = 1; i <= maxxyznames; ++i) xv.names[i].clear();
  term.nterms = 1;
  sxtermtype& st = term.terms[1];
  st.coef = 1;
  st.nfactors = 1;
  auto lookup = [&](const std::string& msg) -> smallint {
    if (pclass == valuetype::aninteger) {
      const smallint i = IO::GETINTEGER(pclass, prev, msg);
      if (i < 1 || i > xv.nnames) fail("illegal " + msg);
      return i;
    }
    if (pclass != valuetype::astring) fail(prev + " not a " + msg);
    for (long i = 1; i <= xv.nnames; ++i)
      if (xv.names[i] == prev) return static_cast<smallint>(i);
    // At most 12 parts, so the list of 26 cannot fill.
    xv.nnames = static_cast<smallint>(xv.nnames + 1);
    xv.names[xv.nnames] = prev;
    return xv.nnames;
  };
  readfactor(*this, st.factors[1], 1, what, lookup);
}

bool axreader::ZTERM(termtype& term) {
  for (long t = 1; t <= term.nterms; ++t) {
    sxtermtype& st = term.terms[t];
    st.coef = 1;
    for (long f = 1; f <= st.nfactors; ++f) {
      xtermtype& xf = st.factors[f];
      if (xf.m <= 0) continue;
      long marked = 0;
      for (long k = 1; k <= xf.m; ++k)
        if (zeroed[xf.v[k]]) ++marked;
      if (marked == xf.m) {
        if (xf.cn != 0) {
          xf.m = 0;
        } else {
          st.coef = 0;
        }
      } else if (marked > 0) {
        long kept = 0;
        for (long k = 1; k <= xf.m; ++k) {
          if (zeroed[xf.v[k]]) continue;
          ++kept;
          xf.an[kept] = xf.an[k];
          xf.ad[kept] = xf.ad[k];
          xf.v[kept] = xf.v[k];
        }
        xf.m = static_cast<smallint>(kept);
      }
    }
    if (!(st.coef > 0)) st.nfactors = 0;
  }
  long kept = 0;
  for (long t = 1; t <= term.nterms; ++t) {
    if (term.terms[t].nfactors == 0) continue;
    ++kept;
    if (kept != t) term.terms[kept] = term.terms[t];
  }
  term.nterms = static_cast<smallint>(kept);
  return term.nterms == 0;
}

void axreader::WRITERAWTERM(const sstring& name, const termtype& term) {
  IO::PUTSTR(0, name, 1, CHANNEL::TERMLOG);
  IO::PUTSTR(0, IO::INT2STR(term.nterms), 1, CHANNEL::TERMLOG);
  for (long t = 1; t <= term.nterms; ++t) {
    const sxtermtype& st = term.terms[t];
    IO::PUTSTR(0, "  " + IO::INT2STR(st.nfactors), 1, CHANNEL::TERMLOG);
    for (long f = 1; f <= st.nfactors; ++f) {
      const xtermtype& xf = st.factors[f];
      std::string line = "    " + fraction(xf.cn, xf.cd) + " " + IO::INT2STR(xf.m);
      for (long k = 1; k <= xf.m; ++k) line += "  " + fraction(xf.an[k], xf.ad[k]) + " " + IO::INT2STR(xf.v[k]);
      IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
    }
  }
}

}  // namespace ZQREAD2
