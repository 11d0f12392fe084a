// The boil-down of a solution phase to the variables it is started with,
// and the limits, kinds and scaling of its compositional variables.
#include <cstdint>
#include <cstdlib>

#include "frame/bytes.h"
#include "frame/zqmath1.h"
#include "input/zqread2_setup.h"

using namespace ZQGLOBAL;

namespace ZQREAD2::SETUP {

namespace {

// The new position of each old index (0 when it goes), and the count kept.
struct renumbering {
  farray<smallint, 1, maxw> to{"renumbering"};
  smallint kept = 0;
  void keep(long old) { to[old] = ++kept; }
};

void renumbervariables(termtype& term, const renumbering& vars) {
  for (long t = 1; t <= term.nterms; ++t) {
    sxtermtype& st = term.terms[t];
    for (long f = 1; f <= st.nfactors; ++f)
      for (long k = 1; k <= st.factors[f].m; ++k) st.factors[f].v[k] = vars.to[st.factors[f].v[k]];
  }
}

}  // namespace

void BOILDOWN(axreader& reader, smallint phase) {
  ptype1& p = (*PREC1)[phase];
  for (long v = 1; v <= maxssem; ++v) reader.zeroed[v] = v <= p.nvar && p.xvar[v].guess == 0;
  p.boileddown = true;
  p.nprop0 = p.nprop;
  const long n = p.nprop;

  // End-members whose proportion vanishes go, with their size parameters.
  renumbering ems;
  for (long e = 1; e <= n; ++e) {
    const bool dropped = reader.ZTERM(p.prop[e]);
    p.emkept[e] = !dropped;
    if (dropped) continue;
    ems.keep(e);
    const long to = ems.kept;
    if (to != e) {
      p.prop[to] = p.prop[e];
      p.em[to] = p.em[e];
      p.alphaa[to] = p.alphaa[e];
      p.alphab[to] = p.alphab[e];
      p.alphac[to] = p.alphac[e];
    }
    p.em[to].checkdiv = 0;
  }

  // Interaction parameters, stored in pair order, stay with both of their
  // end-members.
  renumbering ws;
  long w = 0;
  for (long j = 1; j < n; ++j) {
    for (long k = j + 1; k <= n; ++k) {
      if (++w > p.nw) break;
      if (!(p.emkept[j] && p.emkept[k])) continue;
      ws.keep(w);
      const long to = ws.kept;
      p.wa[to] = p.wa[w];
      p.wb[to] = p.wb[w];
      p.wc[to] = p.wc[w];
      p.wsd[to] = p.wsd[w];
      p.wsddefault[to] = p.wsddefault[w];
      p.wname[to] = p.wname[w];
    }
  }
  p.nw = ws.kept;

  long rows = 0;
  for (long i = 1; i <= p.nwpair; ++i) {
    const wpairtype pair = p.wpair[i];
    if (!(p.emkept[pair.wj] && p.emkept[pair.wk])) continue;
    ++rows;
    p.wpair[rows].wpar = pair.wpar >= 1 && pair.wpar <= maxw ? ws.to[pair.wpar] : smallint(0);
    p.wpair[rows].wj = ems.to[pair.wj];
    p.wpair[rows].wk = ems.to[pair.wk];
  }
  p.nwpair = static_cast<smallint>(rows);

  // The variables that stay, and the check values over them.
  renumbering vars;
  for (long v = 1; v <= p.nvar; ++v)
    if (!reader.zeroed[v]) vars.keep(v);
  for (long e = 1; e <= p.nprop0; ++e) {
    emtype& em = p.em[e];
    for (long v = 1; v <= p.nvar; ++v)
      if (vars.to[v] > 0) em.checkcoef[vars.to[v]] = em.checkcoef[v];
  }
  bool order = false;
  for (long v = 1; v <= p.nvar; ++v) {
    if (vars.to[v] == 0) continue;
    if (vars.to[v] != v) p.xvar[vars.to[v]] = p.xvar[v];
    order = order || p.xvar[vars.to[v]].isorder;
  }
  p.nvar = vars.kept;
  if (p.nvar > 0) p.hasorder = order;

  p.nprop = ems.kept;
  if (p.nvar + 1 != p.nprop) {
    std::string line = "problem in ";
    IO::ADDNAME(p.name, 6, line);
    IO::ADDINT(p.nprop, 3, line);
    IO::ADDINT(p.nvar, 3, line);
    std::string text = "\n\n" + line + "\n";
    for (long e = 1; e <= p.nprop; ++e) text += p.em[e].name + "  \n";
    for (long v = 1; v <= p.nvar; ++v) text += p.xvar[v].name + "  \n";
    IO::WRITETERMINAL(text);
    IO::ERROREXIT("setupphases", "contraction wrong size", yourfault);
  }
  for (long e = 1; e <= p.nprop; ++e) renumbervariables(p.prop[e], vars);

  // Site fractions of which nothing is left go; the ideal-mixing factors
  // follow them to their new places.
  renumbering sfs;
  for (long i = 1; i <= p.nsf; ++i) {
    if (reader.ZTERM(p.sf[i])) continue;
    sfs.keep(i);
    if (sfs.kept != i) {
      p.sf[sfs.kept] = p.sf[i];
      p.sfname[sfs.kept] = p.sfname[i];
    }
  }
  p.nsf = sfs.kept;
  for (long e = 1; e <= p.nprop; ++e) {
    emtype& em = p.em[e];
    for (long j = 1; j <= em.nsfterm; ++j) {
      const smallint old = em.sfterm[j].sfindex;
      em.sfterm[j].sfindex = old >= 1 && old <= maxsf ? sfs.to[old] : smallint(0);
    }
  }
  for (long i = 1; i <= p.nsf; ++i) renumbervariables(p.sf[i], vars);
}

namespace {

// The multiplier of variable v in factor f as num/den: a part's as written,
// or, for a variable written in more than one part, their sum (the factor
// is the sum of its parts). False when f has no part in v.
bool multiplier(const xtermtype& f, smallint v, smallint& num, smallint& den) {
  bool seen = false;
  for (long k = 1; k <= f.m; ++k) {
    if (f.v[k] != v) continue;
    if (!seen) {
      num = f.an[k];
      den = f.ad[k];
      seen = true;
      continue;
    }
    const std::int64_t sn = std::int64_t{num} * f.ad[k] + std::int64_t{f.an[k]} * den;
    const std::int64_t sd = std::int64_t{den} * f.ad[k];
    const std::int64_t g = ZQMATH1::GCD64(sn, sd, "setvarlim");
    const std::int64_t qn = g == 0 ? 0 : sn / g, qd = g == 0 ? 1 : sd / g;
    if (std::abs(qn) > INT16_MAX || std::abs(qd) > INT16_MAX)
      IO::ERROREXIT("setvarlim", "a sum of multipliers in a site fraction beyond a multiplier's range", yourfault);
    num = static_cast<smallint>(qd < 0 ? -qn : qn);
    den = static_cast<smallint>(qd < 0 ? -qd : qd);
  }
  return seen;
}

// How many variables factor f is in.
long variablesof(const xtermtype& f) {
  long n = 0;
  for (long k = 1; k <= f.m; ++k) {
    bool again = false;
    for (long j = 1; j < k; ++j) again = again || f.v[j] == f.v[k];
    if (!again) ++n;
  }
  return n;
}

}  // namespace

void SETVARLIM(smallint term, smallint factor, smallint n, termtype expr, varlimtype& num, varlimtype& den,
               smallint& count) {
  const xtermtype& f = expr.terms[term].factors[factor];
  if (variablesof(f) <= 1) return;
  farray<smallint, 1, maxssem> rown{"varlim row"}, rowd{"varlim row"};
  for (long c = 1; c <= n; ++c) {
    rown[c] = 0;
    rowd[c] = 1;
  }
  for (long k = 1; k <= f.m; ++k) multiplier(f, f.v[k], rown[f.v[k]], rowd[f.v[k]]);
  rown[n] = f.cn;
  rowd[n] = f.cd;
  for (long r = 1; r <= count; ++r) {
    bool same = true;
    for (long c = 1; c <= n && same; ++c) same = num(r, c) == rown[c] && den(r, c) == rowd[c];
    if (same) return;
  }
  if (count + 1 > maxnvarlim) {
    IO::PUTSTR(1, std::string(2, macroman::bullet) + " insufficient space to store variable limits...", 1, CHANNEL::LOG);
    IO::ERROREXIT("setvarlim", "increase maxnvarlim", yourfault);
  }
  ++count;
  for (long c = 1; c <= n; ++c) {
    num(count, c) = rown[c];
    den(count, c) = rowd[c];
  }
}

namespace {

// A factor in one variable v bounds v where the factor, a site fraction,
// reaches 0.
void bound(xvartype& x, long v, const xtermtype& f) {
  smallint an = 0, ad = 1;
  if (variablesof(f) != 1 || f.v[1] != v) return;
  multiplier(f, static_cast<smallint>(v), an, ad);
  if (f.cn == 0) {
    if (x.low < 0) {
      x.low = 0;
      x.lowkind = acctype::inaccessible;
    }
    return;
  }
  const extended r = static_cast<extended>(-(static_cast<long>(f.cn) * ad)) /
                     static_cast<extended>(static_cast<long>(f.cd) * an);
  if (an > 0) {
    if (x.low <= r) {
      x.low = r;
      x.lowkind = acctype::inaccessible;
    }
  } else if (x.high >= r) {
    x.high = r;
    x.highkind = acctype::inaccessible;
  }
}

void boundbyterm(xvartype& x, long v, const termtype& term) {
  if (term.nterms < 1) return;
  const sxtermtype& st = term.terms[1];
  for (long f = 1; f <= st.nfactors; ++f) bound(x, v, st.factors[f]);
}

}  // namespace

void SETLIMITS(smallint phase) {
  ptype1& p = (*PREC1)[phase];
  p.allsfsimple = p.nsf == 0;
  for (long i = 1; i <= p.nsf; ++i) p.sfsimple[i] = false;

  for (long v = 1; v <= p.nvar; ++v) {
    xvartype& x = p.xvar[v];
    x.isset = false;
    x.setindex = 0;
    x.lowkind = acctype::xaccessible;
    x.highkind = acctype::xaccessible;
    if (p.nsf > 0) {
      for (long i = 1; i <= p.nsf; ++i)
        if (p.sf[i].nterms == 1) boundbyterm(x, v, p.sf[i]);
    } else {
      for (long e = 1; e <= p.nprop; ++e)
        for (long j = 1; j <= p.em[e].nsfterm; ++j) {
          const smallint s = p.em[e].sfterm[j].sfindex;
          if (s >= 1 && s <= maxsf) boundbyterm(x, v, p.sf[s]);
        }
    }
    if (x.low == 11) x.low = 0;
    if (x.high == -11) x.high = 1;
    if (x.low >= x.high) IO::ERROREXIT("read", "lower limit > upper limit in xyz range", yourfault);
    x.xfaca = 1 / (x.high - x.low);
    x.xfacb = -x.low * x.xfaca;
    x.typx = 0.0001L / (x.high - x.low);
  }

  p.modefaca = 0.6666667L;
  p.modefacb = 0.1666667L;
  p.nvarlim = 0;
  for (long i = 1; i <= p.nsf; ++i) {
    if (p.sf[i].nterms != 1) continue;
    p.sfsimple[i] = true;
    for (long j = 1; j <= p.sf[i].terms[1].nfactors; ++j)
      SETVARLIM(1, static_cast<smallint>(j), p.nprop, p.sf[i], p.varlimn, p.varlimd, p.nvarlim);
  }
  if (!p.allsfsimple) {
    bool all = true;
    for (long i = 1; i <= p.nsf; ++i) all = all && p.sfsimple[i];
    p.allsfsimple = all;
  }
}

}  // namespace ZQREAD2::SETUP
