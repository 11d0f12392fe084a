// The listing of the a-x models as the program understood them, written
// back in the a-x file's own expression syntax, and its compact table.
#include <algorithm>
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE3 {

namespace {

constexpr extended exact = 1e-8L;          // ADDREALTR: closer than this is exact
constexpr int mostdecimals = 6;
constexpr extended tterm = 1e-6L;          // a T coefficient below this is not shown
constexpr extended pterm = 0.0001L;        // nor a P coefficient below this
constexpr extended alphatterm = 1e-5L;
constexpr extended alphapterm = 0.001L;
constexpr extended nearinteger = 0.0001L;  // a normalisation constant this close is an integer
constexpr int rulelength = 38;
constexpr int brieflength = 40;
constexpr int briefcolumns = 10;
constexpr int pairsperblock = 15;

std::string& W() { return IO::WSTR; }

const char* timessign() { return CONTROLJX.magemin == yes ? "*" : " "; }
const char* powersign() { return CONTROLJX.magemin == yes ? "**" : "^"; }

// " - " or " + " and the magnitude of a T or P term.
void signedterm(extended v, bool minusatzero, smallint n, const char* symbol) {
  IO::ADDSTR((minusatzero ? v <= 0 : v < 0) ? " - " : " + ", 0, W());
  ADDREALTR(std::fabs(v), n, W());
  IO::ADDSTR(timessign(), 0, W());
  IO::ADDSTR(symbol, 0, W());
}

const char* actionprefix(makeactiontype a) {
  switch (a) {
    case makeactiontype::disordered: return "d-";
    case makeactiontype::ordered: return "o-";
    case makeactiontype::equilibrium: return "e-";
    default: return "";
  }
}

const char* infotag(smallint code) {
  switch (code) {
    case 1: return "  (make)";
    case 2: return "  (mod)";
    case 3: return "  (od)";
    case 4: return "  (tran)";
    case 5: return "  (rcal)";
    default: return "";
  }
}

void idealline(const emtype& em, const ptype1& p, longint mask) {
  W() = "  " + em.name + " = ";
  if (em.norm != 1) {
    if (std::fabs(em.norm - std::round(em.norm)) < nearinteger) {
      IO::ADDINT(std::round(em.norm), 0, W());
    } else if (em.normrational) {
      longint num = 0, den = 1;
      IO::REAL2RATIONAL(em.norm, num, den);
      IO::ADDINT(num, 0, W());
      IO::ADDSTR("/", 0, W());
      IO::ADDINT(den, 0, W());
    } else {
      IO::ADDREAL(em.norm, 4, true, 0, W());
    }
    IO::ADDSTR(timessign(), 0, W());
  }
  for (long f = 1; f <= em.nsfterm; ++f) {
    const sftermtype& t = em.sfterm[f];
    if (f > 1) IO::ADDSTR(timessign(), 0, W());
    IO::ADDSTR(p.sfname[t.sfindex], 0, W());
    if (t.powern == 1 && t.powerd == 1) continue;
    IO::ADDSTR(powersign(), 0, W());
    if (t.powerd == 1) {
      IO::ADDINT(t.powern, 0, W());
    } else {
      IO::ADDSTR("(", 0, W());
      IO::ADDINT(t.powern, 0, W());
      IO::ADDSTR("/", 0, W());
      IO::ADDINT(t.powerd, 0, W());
      IO::ADDSTR(")", 0, W());
    }
  }
  IO::PUTSTR(0, W(), 1, mask);
}

void makeline(const emtype& em, longint mask) {
  W() = "  " + em.name + " = ";
  for (long m = 1; m <= em.nmake; ++m) {
    const long c = em.makecoef[m];
    if (m == 1) {
      if (c < 0) IO::ADDSTR("- ", 0, W());
    } else {
      IO::ADDSTR(c < 1 ? " - " : " + ", 0, W());
    }
    const long a = c < 0 ? -c : c;
    if (a != em.makediv) {
      IO::ADDINT(a, 0, W());
      if (em.makediv != 1) {
        IO::ADDSTR("/", 0, W());
        IO::ADDINT(em.makediv, 0, W());
      }
      IO::ADDSTR(timessign(), 0, W());
    }
    IO::ADDSTR(actionprefix(em.makeaction[m]), 0, W());
    IO::ADDSTR(em.makename[m], 0, W());
  }
  if (em.dqfa != 0 || em.dqfb != 0 || em.dqfc != 0) {
    IO::ADDSTR(em.dqfa < 0 ? " - " : " + ", 0, W());
    ADDREALTR(std::fabs(em.dqfa), 3, W());
    if (std::fabs(em.dqfb) > tterm) signedterm(em.dqfb, true, 5, "T");
    if (std::fabs(em.dqfc) > pterm) signedterm(em.dqfc, true, 3, "P");
    IO::ADDSTR(infotag(em.dqfcode), 0, W());
  }
  IO::PUTSTR(0, W(), 1, mask);
}

}  // namespace

void ADDREALTR(extended x, smallint n, std::string& line) {
  if (std::fabs(x - std::round(x)) < exact) {
    IO::ADDINT(std::round(x), 0, line);
    return;
  }
  extended scale = 1;
  for (int d = 1; d <= mostdecimals; ++d) {
    scale *= 10;
    const extended y = scale * x;
    if (std::fabs(y - std::round(y)) < exact) {
      IO::ADDREAL(x, static_cast<smallint>(d), true, 0, line);
      return;
    }
  }
  IO::ADDREAL(x, static_cast<smallint>(n + 1), true, 0, line);
}

void WRITEAX(smallint i) {
  const longint mask = CALCMODE == calcmodetype::lsqdscalc ? CHANNEL::DETAILS : CHANNEL::AXINFO;
  const ptype1& p = (*PREC1)[i];
  const std::string rule(rulelength, '-');
  if (i == 1)
    for (long h = 1; h <= NHEADER; ++h) IO::PUTSTR(0, HEADER[h], 1, mask);
  if (p.nprop == 1) {
    IO::PUTSTR(1, rule, 1, mask);
    IO::PUTSTR(0, p.name, 1, mask);
    IO::PUTSTR(1, " single end-member phase: " + p.em[1].name, 1, mask);
    IO::PUTSTR(0, "", 1, mask);
    return;
  }
  if (p.ninfo == 0) {
    IO::PUTSTR(1, rule, 1, mask);
    IO::PUTSTR(0, p.name, 1, mask);
  } else {
    for (long l = 1; l <= p.ninfo; ++l) IO::PUTSTR(0, p.info[l], 1, mask);
  }
  if (p.coding == 2) {
    W() = p.name + " = " + p.fullname;
    if (p.nsamecoding > 0) {
      W() += " (also for ";
      for (long a = 1; a <= p.nsamecoding; ++a) {
        W() += p.samecodingnames[a] + " = " + p.samecodingfull[a];
        W() += a < p.nsamecoding ? ", " : ")";
      }
    }
    IO::PUTSTR(1, W(), 1, mask);
  }
  if (p.nzeroguess > 0) {
    W() = " xyz variables set to zero: ";
    for (long z = 1; z <= p.nzeroguess; ++z) W() += p.zeroguessname[z] + "  ";
    IO::PUTSTR(1, W(), 1, mask);
  }
  IO::PUTSTR(1, " composition variables", 1, mask);
  for (long v = 1; v <= p.nvar; ++v) {
    const xvartype& x = p.xvar[v];
    W() = "  " + x.name;
    if (x.low != 0 || x.high != 1 || CONTROLJX.magemin == yes) {
      W() += "  range ";
      ADDREALTR(x.low, 3, W());
      W() += " <> ";
      ADDREALTR(x.high, 3, W());
    }
    if (x.isorder) W() += "  order variable";
    IO::PUTSTR(0, W(), 1, mask);
  }
  IO::PUTSTR(1, " site fractions", 1, mask);
  for (long s = 1; s <= p.nsf; ++s) ZQUTE1::WRITETERM(p.sf[s], p.sfname[s], i, mask);
  IO::PUTSTR(1, " proportions", 1, mask);
  for (long e = 1; e <= p.nprop; ++e) ZQUTE1::WRITETERM(p.prop[e], p.em[e].name, i, mask);
  IO::PUTSTR(1, p.model == axtype::ideal ? " activities" : " ideal mixing activities", 1, mask);
  for (long e = 1; e <= p.nprop; ++e) idealline(p.em[e], p, mask);

  const bool hardwired = p.name == "fluid";
  if (hardwired) {
    IO::PUTSTR(1, " non-ideality hard-wired", 1, mask);
  } else {
    if (p.model == axtype::symmetric) IO::PUTSTR(1, " non-ideality by symmetric formalism", 1, mask);
    if (p.model == axtype::vanlaar) IO::PUTSTR(1, " non-ideality by van laar", 1, mask);
    if (p.model != axtype::ideal) {
      for (long w = 1; w <= p.nwpair; ++w) {
        const wpairtype& pr = p.wpair[w];
        W() = "  W(" + p.em[pr.wj].name + "," + p.em[pr.wk].name + ") = ";
        ADDREALTR(p.wa[pr.wpar], 3, W());
        if (std::fabs(p.wb[pr.wpar]) > tterm) signedterm(p.wb[pr.wpar], true, 5, "T");
        if (std::fabs(p.wc[pr.wpar]) > pterm) signedterm(p.wc[pr.wpar], true, 3, "P");
        IO::PUTSTR(0, W(), 1, mask);
      }
    }
    if (p.model == axtype::vanlaar) {
      IO::PUTSTR(0, "", 1, mask);
      for (long e = 1; e <= p.nprop; ++e) {
        W() = "  v(" + p.em[e].name + ") = ";
        if (p.alphaa[e] == 1)
          W() += "1";
        else
          ADDREALTR(p.alphaa[e], 3, W());
        if (std::fabs(p.alphab[e]) > alphatterm) {
          W() += p.alphab[e] <= 0 ? " - " : " + ";
          IO::ADDREAL(std::fabs(p.alphab[e]), 6, true, 0, W());
          W() += std::string(timessign()) + "T";
        }
        if (std::fabs(p.alphac[e]) > alphapterm) {
          W() += p.alphac[e] <= 0 ? " - " : " + ";
          IO::ADDREAL(std::fabs(p.alphac[e]), 4, true, 0, W());
          W() += std::string(timessign()) + "P";
        }
        IO::PUTSTR(0, W(), 1, mask);
      }
    }
  }
  bool anymade = false;
  for (long e = 1; e <= p.nprop; ++e) anymade = anymade || p.em[e].nmake > 0;
  if (anymade) {
    IO::PUTSTR(1, " \"make\" end-members", 1, mask);
    for (long e = 1; e <= p.nprop; ++e)
      if (p.em[e].nmake > 0) makeline(p.em[e], mask);
  }
  IO::PUTSTR(0, "", 1, mask);
}

void WRITEAXBRIEF(smallint i) {
  const longint mask = CHANNEL::TERMSUMLOG;
  const ptype1& p = (*PREC1)[i];
  W().clear();
  IO::ADDSTR(p.name, 0, W());
  IO::ADDSTR(" ", static_cast<smallint>(5 - static_cast<long>(p.name.size())), W());
  W() += std::string(brieflength, '-');
  IO::PUTSTR(0, W(), 1, mask);
  if (p.nprop == 1) {
    IO::PUTSTR(0, "        just " + p.em[1].name, 1, mask);
    return;
  }
  W() = "  var";
  for (long v = 1; v <= p.nvar; ++v) IO::ADDNAME(p.xvar[v].name, briefcolumns, W());
  IO::PUTSTR(0, W(), 1, mask);
  W() = "     ";
  for (long v = 1; v <= p.nvar; ++v) IO::ADDREAL(p.xvar[v].guess, 3, false, briefcolumns, W());
  IO::PUTSTR(0, W(), 1, mask);

  if (p.model != axtype::ideal) {
    bool anyt = false, anyp = false;
    for (long w = 1; w <= p.nwpair; ++w) {
      anyt = anyt || std::fabs(p.wb[p.wpair[w].wpar]) > tterm;
      anyp = anyp || std::fabs(p.wc[p.wpair[w].wpar]) > pterm;
    }
    for (long first = 1; first <= p.nwpair; first += pairsperblock) {
      const long last = std::min<long>(first + pairsperblock - 1, p.nwpair);
      W() = first == 1 ? "  W  " : "     ";
      for (long w = first; w <= last; ++w)
        IO::ADDNAME(p.em[p.wpair[w].wj].name + "-" + p.em[p.wpair[w].wk].name, briefcolumns, W());
      IO::PUTSTR(0, W(), 1, mask);
      W() = "     ";
      for (long w = first; w <= last; ++w) IO::ADDREAL(p.wa[p.wpair[w].wpar], 3, true, briefcolumns, W());
      IO::PUTSTR(0, W(), 1, mask);
      if (anyt) {
        W() = "     ";
        for (long w = first; w <= last; ++w) {
          const extended v = p.wb[p.wpair[w].wpar];
          if (std::fabs(v) < tterm)
            W() += std::string(briefcolumns, ' ');
          else
            IO::ADDREAL(v, 3, true, briefcolumns, W());
        }
        IO::PUTSTR(0, W(), 1, mask);
      }
      if (anyp) {
        W() = "     ";
        for (long w = first; w <= last; ++w) {
          const extended v = p.wc[p.wpair[w].wpar];
          if (std::fabs(v) < pterm)
            W() += std::string(briefcolumns, ' ');
          else
            IO::ADDREAL(v, 2, true, briefcolumns, W());
        }
        IO::PUTSTR(0, W(), 1, mask);
      }
    }
  }
  if (p.model == axtype::vanlaar) {
    W() = "  ";
    for (long e = 1; e <= p.nprop; ++e) IO::ADDNAME("a(" + p.em[e].name + ")", briefcolumns, W());
    IO::PUTSTR(0, W(), 1, mask);
    W() = "  ";
    for (long e = 1; e <= p.nprop; ++e) IO::ADDREAL(p.alphaa[e], 2, true, briefcolumns, W());
    IO::PUTSTR(0, W(), 1, mask);
  }
  bool anydqf = false, anyb = false, anyc = false;
  for (long e = 1; e <= p.nprop; ++e) {
    const emtype& em = p.em[e];
    anydqf = anydqf || em.dqffit[1] || em.dqffit[2] || em.dqffit[3];
    anyb = anyb || em.dqffit[2];
    anyc = anyc || em.dqffit[3];
  }
  if (!anydqf) return;
  auto given = [&](long e) { return p.em[e].dqffit[1] || p.em[e].dqffit[2] || p.em[e].dqffit[3]; };
  W() = "     ";
  for (long e = 1; e <= p.nprop; ++e)
    if (given(e)) IO::ADDNAME(p.em[e].name, briefcolumns, W());
  W() += "      ";
  bool firstrecipe = true;
  for (long e = 1; e <= p.nprop; ++e) {
    const emtype& em = p.em[e];
    if (em.nmake == 0) continue;
    if (!firstrecipe) W() += ";  ";
    firstrecipe = false;
    W() += em.name + " = ";
    for (long m = 1; m <= em.nmake; ++m) {
      if (m > 1) W() += " + ";
      IO::ADDINT(em.makecoef[m], 0, W());
      if (em.makediv > 1) W() += "/" + IO::INT2STR(em.makediv);
      W() += " " + em.makename[m];
    }
  }
  IO::PUTSTR(0, W(), 1, mask);
  auto row = [&](const char* head, int slot, smallint places, int flag) {
    W() = head;
    for (long e = 1; e <= p.nprop; ++e) {
      if (!given(e)) continue;
      if (flag > 0 && !p.em[e].dqffit[flag])
        W() += std::string(briefcolumns, ' ');
      else
        IO::ADDREAL(p.em[e].td[slot], places, true, briefcolumns, W());
    }
    IO::PUTSTR(0, W(), 1, mask);
  };
  row("  H  ", TDSLOT::H, 2, 0);
  if (anyb) row("  S  ", TDSLOT::S, 4, 2);
  if (anyc) row("  V  ", TDSLOT::V, 4, 3);
}

}  // namespace ZQNLE3
