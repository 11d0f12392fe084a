// The batch-on part of the a-x set-up: Monte Carlo parameters found in their
// phases, batch variants of phases whose guess blocks start variables at 0,
// and the summaries of both.
#include "frame/zqglobal_axsetup.h"
#include "input/zqread2_setup.h"

using namespace ZQGLOBAL;

namespace ZQREAD2::SETUP {

namespace {

const std::string quote = "\"";

smallint findphase(const sstring& name, long first, long last) {
  for (long i = first; i <= last; ++i)
    if ((*PREC1)[i].name == name) return static_cast<smallint>(i);
  return 0;
}

void addmcname(mctype& item, const sstring& name) {
  if (item.nphase + 1 > maxmcnames)
    IO::ERROREXIT("read", "number of mcphase", yourfault);
  ++item.nphase;
  item.phasename[item.nphase] = name;
}

// Whether the activity model sets a parameter itself, whatever its value:
// an ideal phase has no W, only a van Laar phase has sizes, and a fluid
// (or the solvent and CO2 of an aqueous phase) takes them from volumes.
bool modelsets(const ptype1& p, smallint kind, smallint pos) {
  if (kind == 3) return false;
  if (p.model == axtype::ideal || (kind == 2 && p.model != axtype::vanlaar)) return true;
  if (p.isfluid) return kind == 2 || pos <= p.nprop * (p.nprop - 1) / 2;
  if (p.isaq) return kind == 2 ? pos == 1 || (pos == 2 && p.co2pos > 0) : pos == 1 && p.co2pos > 0;
  return false;
}

void MCPARAMETERS() {
  for (long m = 1; m <= NMC; ++m) {
    mctype& item = MCINFO[m];
    const smallint kp = findphase(item.phasename[1], 1, NPSS);
    if (kp == 0) IO::ERROREXIT("read", "finding kp in mc (1) - " + item.phasename[1], yourfault);
    ptype1& p = (*PREC1)[kp];
    smallint pos = 0;
    switch (item.kind) {
      case 1:
        for (long w = 1; w <= p.nw && pos == 0; ++w)
          if (p.wname[w] == item.parname) pos = static_cast<smallint>(w);
        break;
      case 2:
      case 3:
        for (long e = 1; e <= p.nprop && pos == 0; ++e)
          if ((item.kind == 2 ? "a(" : "DQF(") + p.em[e].name + ")" == item.parname) pos = static_cast<smallint>(e);
        break;
      default:
        IO::ERROREXIT("read", "finding kp in mc (2a)", yourfault);
    }
    if (pos == 0) IO::ERROREXIT("read", "finding kp in mc (3)", yourfault);
    if (modelsets(p, item.kind, pos))
      IO::ERROREXIT("read", "in mc, " + item.parname + " of " + p.name + " is not used by its a-x model",
                    yourfault);
    item.parpos = pos;
    if (item.abc < 1 || item.abc > 3)
      IO::ERROREXIT("read", "finding kp in mc: bad abc code (" + IO::INT2STR(item.kind) + ")", yourfault);
    const long abc = item.abc;
    switch (item.kind) {
      case 1:
        (abc == 1 ? p.wa : abc == 2 ? p.wb : p.wc)[pos] = item.base;
        break;
      case 2:
        (abc == 1 ? p.alphaa : abc == 2 ? p.alphab : p.alphac)[pos] = item.base;
        // A size the line leaves the same at every P and T is refused here;
        // one that varies is checked where it is evaluated.
        if (p.alphab[pos] == 0 && p.alphac[pos] == 0 && !(p.alphaa[pos] > 0)) {
          const std::string value = IO::ANYNO(p.alphaa[pos]);
          IO::ERROREXIT("read", "in mc, van Laar size " + item.parname + " of " + p.name + " = " + value +
                                    ": a size must be above 0", yourfault);
        }
        break;
      case 3: {
        emtype& em = p.em[pos];
        CHECKDQFALLOWED(em.nmake);
        (abc == 1 ? em.dqfa : abc == 2 ? em.dqfb : em.dqfc) = item.base;
        em.dqffit[abc] = true;
        break;
      }
      default:
        IO::ERROREXIT("read", "finding kp in mc (2b)", yourfault);
    }
  }
}

// Each "with" entry's position among all phases, solution phases first.
void POSITIONS(farray<smallint, 1, maxphaselist>& wpos) {
  for (long i = 1; i <= NWHSTRINGS; ++i) {
    smallint k = findphase(WHSTRINGS[i], 1, NPSS);
    if (k == 0)
      for (long j = 1; j <= NP0 && k == 0; ++j)
        if ((*PREC0)[j].name == WHSTRINGS[i]) k = static_cast<smallint>(NPSS + j);
    if (k == 0) IO::ERROREXIT("read", "name fubar with " + WHSTRINGS[i], yourfault);
    wpos[i] = k;
  }
  NWHSTRINGS0 = NWHSTRINGS;
}

smallint searchblock(const bxyztype& block, const sstring& name, long from) {
  for (long i = from; i <= block.count; ++i)
    if (block.name[i] == name) return static_cast<smallint>(i);
  return 0;
}

// Same variables in the same order: a variant made before serves again.
bool samevariant(const ptype1& a, const ptype1& b) {
  if (a.nvar != b.nvar) return false;
  for (long v = 1; v <= a.nvar; ++v)
    if (a.xvar[v].name != b.xvar[v].name) return false;
  return true;
}

void repoint(batchtype& item, smallint from, smallint to) {
  if (item.withbulk) {
    if (item.nmodeset >= 1 && item.modephase1 == from) item.modephase1 = to;
    if (item.nmodeset >= 2 && item.modephase2 == from) item.modephase2 = to;
  }
  if (item.hasiso)
    for (long k = 1; k <= item.niso; ++k)
      if (item.isophase[k] == from) item.isophase[k] = to;
}

// The variant of phase p made earlier (among s0 + 1 .. NPSS - 1, named
// p.name + "-" + n) that equals variant, or 0; n is then the number the new
// variant takes.
smallint earliervariant(const ptype1& p, const ptype1& variant, smallint s0, long& n) {
  constexpr long maxboils = 30;
  n = 1;
  if (s0 + 1 >= NPSS) return 0;
  for (n = 1;; ++n) {
    if (n == maxboils) IO::ERROREXIT("setupphases", "too many boils", yourfault);
    const smallint q = findphase(IO::MAKESSTRING(p.name + "-" + IO::INT2STR(n)), s0 + 1, NPSS - 1);
    if (q == 0) return 0;
    if (samevariant((*PREC1)[q], variant)) return q;
  }
}

void VARIANTS(axreader& reader, const farray<smallint, 1, maxphaselist>& wpos, smallint s0) {
  for (long b = 1; b <= NBATCH; ++b) {
    batchtype& item = BATCHINFO[b];
    if (item.blockzeros <= 0) continue;
    const long e = item.kxyz;
    const bxyztype& block = BATCHXYZ[e];
    for (long pi = 1; pi <= s0; ++pi) {
      smallint at = 0;
      for (long i = 1; i <= NWHSTRINGS0 && at == 0; ++i)
        if (wpos[i] == pi) at = static_cast<smallint>(i);
      if (at == 0 || !item.phase[at]) continue;
      const ptype1& p = (*PREC1)[pi];
      const smallint k = searchblock(block, p.xvar[1].name, 1);
      if (k == 0) {
        IO::PUTSTR(2,
                   "problem in starting guess block " + IO::INT2STR(e) + " - missing phase " + p.name +
                       " for batch " + IO::INT2STR(BATCHNO[b]) + "?",
                   1, CHANNEL::TERMSUMLOG);
        IO::ERROREXIT("read", "can't find first var " + p.xvar[1].name, yourfault);
      }
      const smallint k2 = searchblock(block, p.xvar[p.nvar].name, k);
      if (k2 == 0) {
        std::string line = "batch ";
        IO::ADDINT(b, 3, line);
        IO::WRITETERMINAL(line + "\n");
        IO::ERROREXIT("read", "no last var for " + p.name, yourfault);
      }
      bool zero = false;
      for (long i = k; i <= k2; ++i) zero = zero || block.value[i] == 0;
      if (!zero) continue;

      if (NPSS + 1 > maxss) IO::ERROREXIT("read", "numbers of phases in boil down", yourfault);
      ++NPSS;
      ptype1& variant = (*PREC1)[NPSS];
      variant = p;
      variant.name = IO::MAKESSTRING(p.name + "-1");
      variant.longname = variant.name;
      variant.fullname = variant.name;
      for (long v = 1; v <= variant.nvar; ++v) {
        variant.xvar[v].guess = block.value[k + v - 1];
        variant.varkept[v] = variant.xvar[v].guess != 0;
      }
      BOILDOWN(reader, NPSS);

      long n = 1;
      const smallint same = earliervariant(p, variant, s0, n);
      smallint to = 0;
      if (same > 0) {
        --NPSS;
        to = static_cast<smallint>(NWHSTRINGS0 + same - s0);
        item.phase[to] = true;
        item.phase[at] = false;
      } else {
        const sstring name = IO::MAKESSTRING(p.name + "-" + IO::INT2STR(n));
        variant.name = name;
        variant.longname = name;
        variant.fullname = name;
        if (NWHSTRINGS + 1 > maxphaselist)
          IO::ERROREXIT("read", "number of whichstrings", yourfault);
        ++NWHSTRINGS;
        to = NWHSTRINGS;
        WHSTRINGS[to] = name;
        LONGWHSTRINGS[to] = name;
        for (long c = 1; c <= NBATCH; ++c) BATCHINFO[c].phase[to] = false;
        item.phase[to] = true;
        item.phase[at] = false;
        for (long m = 1; m <= NMC; ++m) {
          mctype& mc = MCINFO[m];
          bool named = false;
          for (long j = 1; j <= mc.nphase; ++j) named = named || mc.phasename[j] == p.name;
          if (named) addmcname(mc, name);
        }
      }
      repoint(item, at, to);
    }
  }
}

void CLOSEBLOCKS() {
  for (long e = 1; e <= NBATCHXYZ; ++e) {
    bxyztype& block = BATCHXYZ[e];
    long kept = 0;
    for (long i = 1; i <= block.count; ++i) {
      if (block.value[i] == 0) continue;
      ++kept;
      block.name[kept] = block.name[i];
      block.value[kept] = block.value[i];
      block.low[kept] = block.low[i];
      block.high[kept] = block.high[i];
    }
    block.count = static_cast<smallint>(kept);
  }
}

void SUMMARYOFBATCHES() {
  farray<smallint, 1, maxphaselist> base{"variant base"};
  farray<sstring, 1, maxphaselist> number{"variant number"};
  for (long i = NWHSTRINGS0 + 1; i <= NWHSTRINGS; ++i) {
    const sstring& name = WHSTRINGS[i];
    const std::size_t dash = name.find('-');
    if (dash == std::string::npos)
      IO::ERROREXIT("setup phase", "no " + quote + "-" + quote + " in name, " + name, yourfault);
    const sstring stem = name.substr(0, dash);
    smallint k = 0;
    for (long j = 1; j <= NWHSTRINGS0 && k == 0; ++j)
      if (WHSTRINGS[j] == stem) k = static_cast<smallint>(j);
    if (k == 0) IO::ERROREXIT("setup phase", stem + " not in whstrings", yourfault);
    base[i] = k;
    number[i] = name.substr(dash + 1);
  }
  IO::WRITETERMINAL("\n");
  IO::PUTSTR(1, "summary of batches", 1, CHANNEL::TERMSUMLOG);
  std::string line = "    ";
  for (long j = 1; j <= NWHSTRINGS0; ++j) IO::ADDNAME(WHSTRINGS[j], 6, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  for (long b = 1; b <= NBATCH; ++b) {
    const batchtype& item = BATCHINFO[b];
    line.clear();
    IO::ADDINT(BATCHNO[b], 2, line);
    line += ": ";
    for (long j = 1; j <= NWHSTRINGS0; ++j) {
      std::string variants, last;
      for (long i = NWHSTRINGS0 + 1; i <= NWHSTRINGS; ++i) {
        if (base[i] != j || !item.phase[i]) continue;
        variants += (variants.empty() ? "" : " + ") + number[i];
        last = number[i];
      }
      std::string cell = ".";
      if (item.phase[j])
        cell = last.empty() ? "0" : "0 + " + last;
      else if (!variants.empty())
        cell = variants;
      IO::ADDSTR(cell, 6, line);
    }
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
}

void SUMMARYOFMC() {
  IO::WRITETERMINAL("\n");
  IO::PUTSTR(1, "summary of mc info", 1, CHANNEL::TERMSUMLOG);
  std::string line;
  IO::ADDSTR(" ", 37, line);
  IO::PUTSTR(0, line + "      value     range", 1, CHANNEL::TERMSUMLOG);
  for (long m = 1; m <= NMC; ++m) {
    const mctype& item = MCINFO[m];
    line.clear();
    IO::ADDINT(m, 2, line);
    line += " : ";
    IO::ADDNAME(item.phasename[1], 7, line);
    IO::ADDNAME(item.parname, 16, line);
    IO::ADDINT(item.kind, 3, line);
    IO::ADDINT(item.parpos, 4, line);
    IO::ADDINT(item.abc, 3, line);
    IO::ADDREAL(item.base, 3, true, 10, line);
    if (item.rangeindex == 0) {
      IO::ADDREAL(item.spread, 3, true, 10, line);
    } else {
      IO::ADDSTR(" ", 10, line);
      if (item.rangecode == -2) {
        line += " through mcfunc";
        IO::ADDINT(-item.rangeindex, 3, line);
      } else {
        line += " by " + MCRANGEINFO[item.rangeindex].name + " in mcrange";
      }
    }
    for (long j = 2; j <= item.nphase; ++j) {
      if (j == 2) line += ";  also ";
      IO::ADDNAME(item.phasename[j], 7, line);
    }
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
  IO::PUTSTR(0, "", 1, CHANNEL::TERMSUMLOG);
}

}  // namespace

void BATCHSETUP(axreader& reader) {
  if (NMC > 0 && NPSS > 0) MCPARAMETERS();
  farray<smallint, 1, maxphaselist> wpos{"with positions"};
  POSITIONS(wpos);
  const smallint s0 = NPSS;
  VARIANTS(reader, wpos, s0);
  CLOSEBLOCKS();
  if (CONTROLJX.batchdebug == yes) SUMMARYOFBATCHES();
  if (NMC > 0) SUMMARYOFMC();
  NP = static_cast<smallint>(NPSS + NP0);
}

}  // namespace ZQREAD2::SETUP
