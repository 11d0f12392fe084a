// Keywords of runs of many calculations in one pass: batch items, their
// selections and starting guesses, Monte Carlo perturbation with its filters,
// and fractionation along a path. The reader stores and checks; every
// inconsistency ends the run at once.
#include <cmath>

#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_bulk.h"
#include "frame/zqute1.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

// A count or code written as a real: its nearest integer, which must fit
// the integer it is stored in, as the integer words of a script must.
smallint nearest(extended x) {
  const extended r = std::nearbyint(x);
  if (!(std::fabs(r) < 32767.0L)) SCRIPTFAULT("a number that should be an integer is too large (max 32766)");
  return static_cast<smallint>(r);
}

smallint withpos(const sstring& w) {
  for (smallint j = 1; j <= NWHSTRINGS && j <= maxphaselist; ++j)
    if (WHSTRINGS[j] == w) return j;
  return 0;
}

// A cursor over the info items of a "batch" line.
struct cursor {
  smallint p = 1;
  bool more() const { return p <= NINFO; }
  smallint integer(const std::string& fail) {
    if (!more() || INFOTYPE[p] != valuetype::aninteger || INFOINT[p] != INFOREAL[p]) SCRIPTFAULT(fail);
    return INFOINT[p++];
  }
  extended real(const std::string& fail) {
    if (!more() || !ISNUMBER(INFOTYPE[p])) SCRIPTFAULT(fail);
    return INFOREAL[p++];
  }
  sstring word(const std::string& fail) {
    if (!more()) SCRIPTFAULT(fail);
    return INFOSTRING[p++];
  }
};

void printbatch(const batchtype& b) {
  if (NBATCH == 1) IO::PUTSTR(1, "batches", 1, CHANNEL::TERMLOG);
  std::string line = "b" + IO::INT2STR(NBATCH) + " : ";
  for (smallint j = 1; j <= NWHSTRINGS && j <= maxphaselist; ++j)
    if (b.phase[j]) line += WHSTRINGS[j] + " ";
  line += " p";
  for (smallint i = 1; i <= b.np; ++i) line += " " + IO::REAL2STR(b.plist[i], 2, true);
  for (smallint i = 1; i <= b.nt; ++i) line += " " + IO::REAL2STR(b.tlist[i] - CONST::KELVIN, 1, true);
  line += " i";
  for (smallint i = 1; i <= b.niso; ++i)
    line += " " + WHSTRINGS[b.isophase[i]] + " " + IO::INT2STR(b.isovar[i]) + " " + IO::REAL2STR(b.isovalue[i], 4, true);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
}

// The bulk of a batch item outside fractionation: a mix of two of the
// script's compositions, with the modes it sets.
void itembulk(cursor& c, batchtype& b) {
  const smallint flag = c.integer("in batch, no bulk flag");
  b.withbulk = flag > 0;
  b.comp1 = flag;
  if (b.withbulk) {
    if (NMCCOMP < 1) SCRIPTFAULT("in batch, pseudosection wanted but no bulk");
    if (flag > NMCCOMP) SCRIPTFAULT("in batch, comp1 code out of range");
    const smallint comp2 = c.integer("in batch, comp2 not accessed");
    if (comp2 == 0) {
      b.comp2 = 1;
      b.bulkprop = 1;
    } else {
      if (comp2 < 1 || comp2 > NMCCOMP) SCRIPTFAULT("in batch, comp2 code out of range");
      b.comp2 = comp2;
      b.bulkprop = c.real("in batch, no bulk proportion");
      if (b.bulkprop < 0 || b.bulkprop > 1) SCRIPTFAULT("in batch, bung bulk proportion");
    }
    const mccomptype& first = MCCOMPINFO[b.comp1];
    const mccomptype& second = MCCOMPINFO[b.comp2];
    smallint j = 0;
    extended sum = 0;
    for (smallint k = 1; k <= BATCHNUVI; ++k)
      if (std::fabs(first[k]) > 0.0001L) {
        b.hascomp[k] = true;
        ++j;
        b.bulkcomp[j] = b.bulkprop * first[k] + (1 - b.bulkprop) * second[k];
        sum += b.bulkcomp[j];
      }
    // What the second composition holds of a component the first lacks
    // is left out of the mix, so the rest is scaled up to 100 again: the
    // item is then the same rock as that bulk given on its own. A mix with
    // nothing left has no scale and stays as it is.
    if (sum > 0)
      for (smallint i = 1; i <= j; ++i) b.bulkcomp[i] = b.bulkcomp[i] * 100 / sum;
    b.ncomp = BATCHNUVI;
    b.nfreecomp = j;
    const smallint nset = c.integer("in batch, no mode setting code");
    if (nset < 0 || nset > 2) SCRIPTFAULT("in batch, wrong number of modes set");
    if (c.p + 2 * nset - 1 > NINFO) SCRIPTFAULT("in batch, not enough pseudosection info");
    b.nmodeset = nset;
    if (nset >= 1) {
      b.modephase1 = withpos(c.word("in batch, not enough pseudosection info"));
      if (b.modephase1 == 0) SCRIPTFAULT("in batch, modeset phase1 not in which");
      b.mode1 = c.real("in batch, modeset phase1 mode stuffed");
    }
    if (nset == 2) {
      b.modephase2 = withpos(c.word("in batch, not enough pseudosection info"));
      if (b.modephase2 == 0) SCRIPTFAULT("in batch, modeset phase2 not in which");
      b.mode2 = c.real("in batch, modeset phase2 mode stuffed");
      // One phase's mode set twice is one mode set, at one value.
      if (b.modephase2 == b.modephase1) {
        if (b.mode2 != b.mode1) TWICEFAULT("mode of " + WHSTRINGS[b.modephase1], "batch");
        b.nmodeset = 1;
        b.modephase2 = 0;
        b.mode2 = 0;
      }
    }
  }
}

// The isopleths of a batch item: a phase's variable at one value.
void itemisopleths(cursor& c, batchtype& b) {
  b.niso = c.integer("in batch, no isopleth flag");
  if (b.niso < 0 || b.niso > 2 || b.niso + b.nmodeset > 2) SCRIPTFAULT("in batch, wrong number of isopleths set");
  b.hasiso = b.niso > 0;
  for (smallint i = 1; i <= b.niso; ++i) {
    if (c.p + 2 > NINFO) SCRIPTFAULT("in batch, not enough info for isopleths", "readscripts");
    const smallint j = withpos(INFOSTRING[c.p]);
    if (j == 0 || !ISNUMBER(INFOTYPE[c.p + 1]) || !ISNUMBER(INFOTYPE[c.p + 2]))
      SCRIPTFAULT("in batch, wrong name for isopleths", "readscripts");
    b.isophase[i] = j;
    b.isovar[i] = nearest(INFOREAL[c.p + 1]);
    b.isovalue[i] = INFOREAL[c.p + 2];
    c.p = static_cast<smallint>(c.p + 3);
  }
  // One variable set twice is one isopleth, at one value.
  if (b.niso == 2 && b.isophase[2] == b.isophase[1] && b.isovar[2] == b.isovar[1]) {
    if (b.isovalue[2] != b.isovalue[1])
      TWICEFAULT("variable " + IO::INT2STR(b.isovar[1]) + " of " + WHSTRINGS[b.isophase[1]], "batch");
    b.niso = 1;
  }
}

void batch(const scriptline& l) {
  if (NWHSTRINGS < 1 || NWHSTRINGS > maxphaselist) {
    CONTROLJX.batch = no;
    return;
  }
  CONTROLJX.batch = l.sw;
  if (l.sw == no || NBATCH == 0 || NINFO < 5) return;
  const bool fract = CONTROLJX.fractionation == yes;
  if (NBATCH + 1 > maxbatch) SCRIPTFAULT("too many batch");
  NBATCH = static_cast<smallint>(NBATCH < 0 ? 1 : NBATCH + 1);
  batchtype& b = BATCHINFO[NBATCH];
  b.phase.fill(false);
  b.hasoddman = false;
  b.oddman = 0;
  b.nfilter.fill(0);
  cursor c;
  while (c.more()) {
    const smallint j = withpos(INFOSTRING[c.p]);
    if (j == 0) break;
    b.phase[j] = true;
    ++c.p;
  }
  if (!c.more()) SCRIPTFAULT("batch input messed up");
  if (!ISNUMBER(INFOTYPE[c.p])) SCRIPTFAULT("unrecognised phase, " + INFOSTRING[c.p] + ", in batch");
  if (fract && NBATCH > 1) {
    for (smallint j = 1; j <= NWHSTRINGS; ++j)
      if (b.phase[j] && !BATCHINFO[1].phase[j]) {
        if (b.hasoddman) SCRIPTFAULT("duff in 2nd or later batch for fract");
        b.hasoddman = true;
        b.oddman = j;
      }
  }
  b.variance = c.integer("insufficient info in batch (1)");
  if (!fract) {
    // the three integers come first; only then is the variance judged
    b.np = c.integer("insufficient info in batch (1)");
    b.nt = c.integer("insufficient info in batch (1)");
    if (b.variance < 0) SCRIPTFAULT("batch with negative variance?");
    if (b.np < 1 || b.nt < 1) SCRIPTFAULT("not enough batch PT");
    if (b.np * b.nt > maxbatchpt) SCRIPTFAULT("too many batch PT");
    for (smallint i = 1; i <= b.np; ++i) {
      b.plist[i] = c.real("insufficient info in batch (2)");
      ZQUTE1::PHYSICALP(b.plist[i], "batch P", "reading scripts");
    }
    for (smallint i = 1; i <= b.nt; ++i) {
      const extended t = c.real("insufficient info in batch (2)");
      ZQUTE1::PHYSICALT(t, "batch T", "reading scripts");
      b.tlist[i] = t + CONST::KELVIN;
    }
    const smallint code = c.integer("insufficient info in batch (3a)");
    b.tatp = code < 2;
    b.kxyz = c.integer("insufficient info in batch (3a)");
  } else {
    if (b.variance < 0) SCRIPTFAULT("batch with negative variance?");
    b.np = b.nt = 1;
    b.plist[1] = FRACTINFO.p0;
    b.tlist[1] = FRACTINFO.t0;
    // The items solve for the variable the path moves in, cooling as well
    // as heating: an event is then found where the path can meet it.
    b.tatp = FRACTINFO.dt != 0;
    b.kxyz = c.integer("insufficient info in batch (3b)");
  }
  b.npt = static_cast<smallint>(b.np * b.nt);
  if (b.kxyz < 1) SCRIPTFAULT("in batch, no xyz flag");
  if (b.kxyz > NBATCHXYZ) SCRIPTFAULT("in batch, kxyz out of range");
  b.blockzeros = BATCHXYZ[b.kxyz].zeros;
  b.nmodeset = 0;
  b.modephase1 = b.modephase2 = 0;
  b.mode1 = b.mode2 = 0;
  b.hascomp.fill(false);
  b.bulkcomp.fill(0);
  if (fract) {
    b.withbulk = true;
    b.comp1 = 0;
    BATCHNUVI = CONTROLJX.nbulkoxides;
    b.ncomp = CONTROLJX.nbulkoxides;
    b.nfreecomp = 0;
    for (smallint k = 1; k <= b.ncomp && k <= 26; ++k) {
      for (smallint i = 1; i <= NRBIMODE && i <= maxrbi; ++i)
        if (std::fabs(RBIC(i, k)) > 1e-8L) b.hascomp[k] = true;
      if (b.hascomp[k]) ++b.nfreecomp;
    }
    if (NBATCH > 1 && c.more() && INFOTYPE[c.p] == valuetype::astring) {
      const smallint j = withpos(INFOSTRING[c.p]);
      if (j == 0) SCRIPTFAULT("in batch, modeset phase not in which");
      if (!b.hasoddman || j != b.oddman) SCRIPTFAULT("in batch, modeset phase not odd man out");
      ++c.p;
      b.modephase1 = j;
      b.nmodeset = 1;
      b.mode1 = 0;
    }
  } else {
    itembulk(c, b);
  }
  itemisopleths(c, b);
  if (c.more()) SCRIPTFAULT("batch input messed up");
  if (CONTROLJX.batch == yes) printbatch(b);
}

// The items a "batchreq" or "batchswitch" line selects, in order; answers
// whether the line listed indices (rather than "all").
bool selection(const std::string& kw, farray<bool, 1, maxbatchswitch>& chosen, farray<smallint, 1, maxbreq>& listed,
               smallint& nlisted) {
  chosen.fill(false);
  nlisted = 0;
  auto index = [&](smallint i) {
    if (INFOTYPE[i] != valuetype::aninteger) SCRIPTFAULT(kw + " not given an index");
    const smallint v = INFOINT[i];
    if (v < 1 || v > NBATCH) SCRIPTFAULT(kw + " not in range");
    return v;
  };
  if (NINFO < 1) SCRIPTFAULT("in " + kw + ", not enough info in a line");
  if (INFOSTRING[1] == "all") {
    for (smallint i = 1; i <= NBATCH; ++i) chosen[i] = true;
    if (NINFO >= 2) {
      if (INFOSTRING[2] != "except" || NINFO < 3) SCRIPTFAULT("in " + kw + ", not enough info in a line");
      for (smallint i = 3; i <= NINFO; ++i) chosen[index(i)] = false;
    }
    return false;
  }
  for (smallint i = 1; i <= NINFO; ++i) {
    const smallint v = index(i);
    chosen[v] = true;
    listed[++nlisted] = v;
  }
  return true;
}

void batchreq(const scriptline& l) {
  farray<bool, 1, maxbatchswitch> chosen{"batchreq chosen"};
  farray<smallint, 1, maxbreq> listed{"batchreq listed"};
  smallint nlisted = 0;
  auto newentry = [&]() -> breqtype& {
    if (NBATCHREQ + 1 > maxbreq) SCRIPTFAULT("too many batchreq");
    NBATCHREQ = static_cast<smallint>(NBATCHREQ < 0 ? 1 : NBATCHREQ + 1);
    BATCHREQ[NBATCHREQ].count = 0;
    return BATCHREQ[NBATCHREQ];
  };
  // An item listed again, or a request made again, asks for nothing more.
  auto made = [](const breqtype& e) {
    for (smallint k = 1; k < NBATCHREQ; ++k) {
      const breqtype& o = BATCHREQ[k];
      bool same = o.count == e.count;
      for (smallint j = 1; j <= e.count && same; ++j) same = o.item[j] == e.item[j];
      if (same) return true;
    }
    return false;
  };
  if (NINFO < 1) SCRIPTFAULT("batchreq not given an index");
  if (selection("batchreq", chosen, listed, nlisted)) {
    breqtype& e = newentry();
    for (smallint i = 1; i <= nlisted; ++i) {
      bool again = false;
      for (smallint j = 1; j <= e.count; ++j) again = again || e.item[j] == listed[i];
      if (!again) e.item[++e.count] = listed[i];
    }
    if (made(e)) NBATCHREQ = static_cast<smallint>(NBATCHREQ - 1);
  } else {
    for (smallint i = 1; i <= NBATCH; ++i)
      if (chosen[i]) {
        breqtype& e = newentry();
        e.item[1] = i;
        e.count = 1;
        if (made(e)) NBATCHREQ = static_cast<smallint>(NBATCHREQ - 1);
      }
  }
  (void)l;
}

void batchswitch(const scriptline&) {
  farray<smallint, 1, maxbreq> listed{"batchswitch listed"};
  smallint nlisted = 0;
  selection("batchswitch", BATCHSWITCH, listed, nlisted);
  NBATCHSWITCH = 0;
  for (smallint i = 1; i <= NBATCH; ++i)
    if (BATCHSWITCH[i]) ++NBATCHSWITCH;
}

void batchxyzguess(const scriptline&) {
  if (NINFO >= 1 && INFOSTRING[1] == "startblock") {
    if (NBATCHXYZ + 1 > maxbatch) SCRIPTFAULT("in bxyzguess, too big");
    NBATCHXYZ = static_cast<smallint>(NBATCHXYZ < 0 ? 1 : NBATCHXYZ + 1);
    BATCHXYZ[NBATCHXYZ].count = 0;
    BATCHXYZ[NBATCHXYZ].zeros = 0;
    return;
  }
  if (NINFO < 2) SCRIPTFAULT("in bxyzguess, not enough info in a line (1)");
  if (NBATCHXYZ < 1) SCRIPTFAULT("in bxyzguess, not enough info in a line (2)");
  bxyztype& b = BATCHXYZ[NBATCHXYZ];
  extended v = 0;
  if (!ISNUMBER(INFOTYPE[2])) SCRIPTFAULT("in bxyzguess, no guess");
  v = INFOREAL[2];
  extended low = 0, high = 1;
  if (NINFO >= 3 && INFOSTRING[3] == "range") {
    if (NINFO < 5 || !ISNUMBER(INFOTYPE[4]) || !ISNUMBER(INFOTYPE[5])) SCRIPTFAULT("in bxyzguess, range info fubar");
    low = INFOREAL[4];
    high = INFOREAL[5];
  }
  // A variable guessed twice in one block has one guess.
  for (smallint g = 1; g <= b.count; ++g)
    if (b.name[g] == INFOSTRING[1]) {
      if (b.value[g] != v || b.low[g] != low || b.high[g] != high) TWICEFAULT(INFOSTRING[1], "batchxyzguess");
      return;
    }
  if (b.count + 1 > maxbxyz) SCRIPTFAULT("in bxyzguess, too many guesses");
  ++b.count;
  b.name[b.count] = INFOSTRING[1];
  b.value[b.count] = v;
  b.low[b.count] = low;
  b.high[b.count] = high;
  if (v == 0) ++b.zeros;
}

void filter(const scriptline&) {
  if (NBATCH == 0) {
    NFILT = 0;
    return;
  }
  FILTERING = true;
  if (NINFO < 1 || INFOTYPE[1] != valuetype::aninteger) SCRIPTFAULT("filter keyword must be followed by an integer");
  const smallint nf = INFOINT[1];
  if (nf > maxfilter) SCRIPTFAULT("too many filters");
  if (NFILT < 1) {
    NFILT = 1;
    NFILTPT = 1;
  } else if (NFILT <= NBATCH && NFILT >= 1 && NFILTPT >= BATCHINFO[NFILT].npt) {
    NFILT = static_cast<smallint>(NFILT + 1);
    NFILTPT = 1;
  } else {
    NFILTPT = static_cast<smallint>(NFILTPT + 1);
  }
  if (NFILT != NBATCH || NFILTPT > BATCHINFO[NFILT].npt) SCRIPTFAULT("filters not interleaved with batches");
  const smallint need = static_cast<smallint>(1 + 3 * (nf < 0 ? 0 : nf));
  if (NINFO < need) SCRIPTFAULT("insufficient filter info");
  if (NINFO > need) SCRIPTFAULT("wrong length of filter info");
  batchtype& b = BATCHINFO[NFILT];
  for (smallint f = 1; f <= nf; ++f) {
    const smallint i = static_cast<smallint>(2 + 3 * (f - 1));
    filtertype& e = b.filter(NFILTPT, f);
    e.name.clear();
    e.code = 0;
    if (INFOTYPE[i] == valuetype::aninteger)
      e.code = INFOINT[i];
    else
      e.name = INFOSTRING[i];
    if (!ISNUMBER(INFOTYPE[i + 1])) SCRIPTFAULT("lower filter not a number");
    if (!ISNUMBER(INFOTYPE[i + 2])) SCRIPTFAULT("higher filter not a number");
    e.low = INFOREAL[i + 1];
    e.high = INFOREAL[i + 2];
    if (e.code == 2 || e.name == "T") {
      e.low += CONST::KELVIN;
      e.high += CONST::KELVIN;
    }
  }
  b.nfilter[NFILTPT] = nf < 0 ? smallint(0) : nf;
}

void mcit(const scriptline& l) {
  MCITOK = 1;
  if (l.sw == no || NINFO < 1) return;
  if (NINFO < 2 || !ISNUMBER(INFOTYPE[1]) || !ISNUMBER(INFOTYPE[2])) SCRIPTFAULT("wrong mcit info");
  MCIT = INFOREAL[1];
  MCITOK = nearest(INFOREAL[2]);
}

smallint findrange(const sstring& name) {
  for (smallint r = 1; r <= NMCRANGE; ++r)
    if (MCRANGEINFO[r].name == name) return r;
  return 0;
}

void mcrange(const scriptline& l) {
  if (l.sw == no || NMC == 0 || NINFO < 1) return;
  if (NINFO < 3 || !ISNUMBER(INFOTYPE[2]) || !ISNUMBER(INFOTYPE[3])) SCRIPTFAULT("wrong mcrange info");
  // A name defined again is the same range: kept once when it agrees.
  const smallint again = findrange(INFOSTRING[1]);
  if (again > 0) {
    const mcrangetype& r = MCRANGEINFO[again];
    if (r.centre != INFOREAL[2] || r.halfwidth != INFOREAL[3]) TWICEFAULT(INFOSTRING[1], l.keyword);
    return;
  }
  if (NMCRANGE + 1 > maxmc) SCRIPTFAULT("too many mcrange");
  NMCRANGE = static_cast<smallint>(NMCRANGE < 0 ? 1 : NMCRANGE + 1);
  MCRANGEINFO[NMCRANGE] = {INFOSTRING[1], INFOREAL[2], INFOREAL[3]};
}

bool samefunc(const mcfunctype& a, const mcfunctype& b) {
  if (a.constant != b.constant || a.nterm != b.nterm) return false;
  for (smallint t = 1; t <= a.nterm; ++t)
    if (a.coef[t] != b.coef[t] || a.termrange[t] != b.termrange[t]) return false;
  return true;
}

void mcfunc(const scriptline& l) {
  if (l.sw == no || NMC == 0 || NINFO < 1) return;
  if (NINFO < 3 || !ISNUMBER(INFOTYPE[2]) || !ISNUMBER(INFOTYPE[3])) SCRIPTFAULT("wrong mcfunc info (1)");
  const smallint nterm = nearest(INFOREAL[3]);
  if (nterm > maxmcterms) SCRIPTFAULT("too many terms in mcfunc");
  if (nterm < 0) SCRIPTFAULT("wrong mcfunc info (1)");
  if (NMCFUNC + 1 > maxmc) SCRIPTFAULT("too many mcfunc");
  mcfunctype f;
  f.name = INFOSTRING[1];
  f.constant = INFOREAL[2];
  f.nterm = nterm;
  for (smallint t = 1; t <= nterm; ++t) {
    const smallint i = static_cast<smallint>(4 + 2 * (t - 1));
    if (i > NINFO || !ISNUMBER(INFOTYPE[i])) SCRIPTFAULT("wrong mcfunc info (2)");
    if (i + 1 > NINFO) SCRIPTFAULT("wrong mcfunc info (3)");
    const smallint r = findrange(INFOSTRING[i + 1]);
    if (r == 0) SCRIPTFAULT("wrong mcfunc info (3)");
    f.coef[t] = INFOREAL[i];
    f.termrange[t] = r;
  }
  for (smallint i = 1; i <= NMCFUNC; ++i)
    if (MCFUNCINFO[i].name == f.name) {
      if (!samefunc(MCFUNCINFO[i], f)) TWICEFAULT(f.name, l.keyword);
      return;
    }
  NMCFUNC = static_cast<smallint>(NMCFUNC < 0 ? 1 : NMCFUNC + 1);
  MCFUNCINFO[NMCFUNC] = f;
}

void batchbulk(const scriptline& l) {
  if (l.sw == no) return;
  smallint n = 0;
  while (n < NINFO && ISNUMBER(INFOTYPE[n + 1])) ++n;
  if (n < 1 || n != NINFO) SCRIPTFAULT("wrong batchbulk info");
  if (BATCHNUVI == 0) {
    if (n > 26) SCRIPTFAULT("too many components in batchbulk");
    BATCHNUVI = n;
  } else if (n != BATCHNUVI) {
    SCRIPTFAULT("wrong batchbulk info");
  }
  if (NMCCOMP + 1 > maxmc) SCRIPTFAULT("too many batchbulk");
  // Refused as the plain bulk refuses it, naming the line.
  std::string line = l.keyword;
  for (smallint i = 1; i <= n; ++i) line += " " + INFOSTRING[i];
  NONEGATIVEBULK("reading scripts", INFOREAL, n, line);
  extended sum = 0;
  for (smallint i = 1; i <= n; ++i) sum += INFOREAL[i];
  if (sum <= 0) {
    IO::WRITETERMINAL(IO::INT2STR(NMCCOMP + 1) + " bulk composition is bad\n");
    NMCCOMP = 0;
    return;
  }
  NMCCOMP = static_cast<smallint>(NMCCOMP + 1);
  for (smallint i = 1; i <= n; ++i) MCCOMPINFO[NMCCOMP][i] = INFOREAL[i] * 100 / sum;
}

[[noreturn]] void mcfail(const std::string& message) {
  IO::PUTSTR(1, "mc attempted and failed", 1, CHANNEL::TERMLOG);
  SCRIPTFAULT(message);
}

void mc(const scriptline& l) {
  if (l.sw == no) return;
  CONTROLJX.mc = l.sw;
  if (NMC + 1 > maxmc) SCRIPTFAULT("too many mc");
  NMC = static_cast<smallint>(NMC < 0 ? 1 : NMC + 1);
  if (NSC > 0) mcfail("scriptfile samecoding not implemented in mcjx");
  mctype m;
  if (NINFO < 1 || withpos(INFOSTRING[1]) == 0) mcfail(INFOSTRING[1] + " in mc not in " + QUOTE("with"));
  m.phasename[1] = INFOSTRING[1];
  m.nphase = 1;
  const char a = NINFO >= 2 && !INFOSTRING[2].empty() ? INFOSTRING[2][0] : ' ';
  if (a != 'a' && a != 'b' && a != 'c') mcfail("in mc, abc");
  m.abc = static_cast<smallint>(a - 'a' + 1);
  const sstring par = NINFO >= 3 ? INFOSTRING[3] : sstring();
  if (par.size() < 4) mcfail("in mc, mcvarname (1)");
  if (par.back() != ')') mcfail("in mc, mcvarname (2)");
  if (par.rfind("W(", 0) == 0)
    m.kind = 1;
  else if (par.rfind("a(", 0) == 0)
    m.kind = 2;
  else if (par.rfind("DQF(", 0) == 0)
    m.kind = 3;
  else
    mcfail("in mc, mcvarname (3)");
  m.parname = par;
  if (NINFO < 4) mcfail("in mc, not enough info");
  if (ISNUMBER(INFOTYPE[4])) {
    if (NINFO < 5 || !ISNUMBER(INFOTYPE[5])) mcfail("in mc, not enough info");
    m.base = INFOREAL[4];
    m.spread = INFOREAL[5];
    m.rangeindex = 0;
    m.rangecode = 0;
  } else {
    const sstring& w = INFOSTRING[4];
    const sstring name = w.substr(1);
    switch (w[0]) {
      case 'f': {
        if (NMCFUNC < 1) mcfail("in mc, no mcfunc");
        smallint f = 0;
        for (smallint i = 1; i <= NMCFUNC; ++i)
          if (MCFUNCINFO[i].name == name) {
            f = i;
            break;
          }
        if (f == 0) mcfail("in mc, no match with mcfunc");
        m.rangeindex = static_cast<smallint>(-f);
        m.rangecode = -2;
        m.base = MCFUNCINFO[f].constant;
        for (smallint t = 1; t <= MCFUNCINFO[f].nterm; ++t)
          m.base += MCFUNCINFO[f].coef[t] * MCRANGEINFO[MCFUNCINFO[f].termrange[t]].centre;
        break;
      }
      case '=': {
        if (NMCRANGE < 1) mcfail("in mc, no mcrange");
        const smallint r = findrange(name);
        if (r == 0) mcfail("in mc, no match with mcrange");
        m.rangeindex = r;
        m.rangecode = 0;
        m.base = MCRANGEINFO[r].centre;
        break;
      }
      case '<':
      case '>':
        mcfail("in mc, >/< not currently implemented");
      default:
        mcfail("in mc, bad range info");
    }
  }
  if (m.kind == 3) m.dqfbase[m.abc] = m.base;
  // A second line on one parameter of one phase draws the same thing: kept
  // once when its draw agrees, refused when it does not.
  for (smallint i = 1; i < NMC; ++i) {
    const mctype& o = MCINFO[i];
    if (o.phasename[1] != m.phasename[1] || o.parname != m.parname || o.abc != m.abc) continue;
    if (o.base != m.base || o.spread != m.spread || o.rangeindex != m.rangeindex || o.rangecode != m.rangecode) {
      IO::PUTSTR(1, "mc attempted and failed", 1, CHANNEL::TERMLOG);
      TWICEFAULT(m.parname + " of " + m.phasename[1], l.keyword);
    }
    NMC = static_cast<smallint>(NMC - 1);
    return;
  }
  MCINFO[NMC] = m;
  IO::PUTSTR(1,
             "mc info " + IO::INT2STR(NMC) + ": " + m.phasename[1] + " " + INFOSTRING[2] + " " + m.parname + " " +
                 IO::REAL2STR(m.base, 4, false) + " " + IO::REAL2STR(m.spread, 4, false) + " " +
                 IO::INT2STR(m.rangeindex),
             1, CHANNEL::TERMLOG);
}

void fract(const scriptline& l) {
  // Fractionation is switched off: asking for it ends the run as "kill"
  // does, so no script reaches an untested calculation.
  if (l.sw != no) {
    IO::WRITETERMINAL("fractcalcs are currently untested - what state are they in??\n");
    IO::USERINTERRUPT();
  }
  CONTROLJX.fractionation = l.sw;
  if (CONTROLJX.batch == yes || CONTROLJX.rbi != yes) CONTROLJX.fractionation = no;
  if (CONTROLJX.fractionation == no || NINFO < 8) return;
  bool ok = withpos(INFOSTRING[1]) > 0;
  for (smallint i = 2; i <= 8 && ok; ++i) ok = ISNUMBER(INFOTYPE[i]);
  if (!ok) {
    IO::WRITETERMINAL("fractionation info input attempted, but failed\n");
    CONTROLJX.fractionation = no;
    return;
  }
  FRACTINFO.phase = INFOSTRING[1];
  FRACTINFO.porosity = INFOREAL[2];
  FRACTINFO.extra = INFOREAL[3];
  FRACTINFO.p0 = INFOREAL[4];
  FRACTINFO.t0 = INFOREAL[5] + CONST::KELVIN;
  FRACTINFO.dp = INFOREAL[6];
  FRACTINFO.dt = INFOREAL[7];
  FRACTINFO.nsteps = nearest(INFOREAL[8]);
  FRACTINFO.removed = 0;
  if (FRACTINFO.dp != 0 && FRACTINFO.dt != 0) {
    CONTROLJX.oblique = yes;
    OBLIQUEA = FRACTINFO.p0;
    OBLIQUEB = FRACTINFO.dp / FRACTINFO.dt;
  }
  std::string s = "fractionation info: {" + FRACTINFO.phase;
  for (smallint i = 2; i <= 8; ++i) s += " " + INFOSTRING[i];
  IO::WRITETERMINAL(s + "}\n");
}

}  // namespace

bool KEYWORDSBATCH(const scriptline& l) {
  const sstring& k = l.keyword;
  if (k == "batch") {
    batch(l);
  } else if (k == "batchreq") {
    batchreq(l);
  } else if (k == "batchxyzguess") {
    batchxyzguess(l);
  } else if (k == "batchswitch") {
    batchswitch(l);
  } else if (k == "filter" || k == "flitter") {
    filter(l);
  } else if (k == "mcdebug") {
    CONTROLJX.mcdebug = l.sw;
  } else if (k == "batchdebug") {
    CONTROLJX.batchdebug = l.sw;
  } else if (k == "mcit") {
    mcit(l);
  } else if (k == "mcrange") {
    mcrange(l);
  } else if (k == "mcfunc") {
    mcfunc(l);
  } else if (k == "batchbulk" || k == "mcbulk") {
    batchbulk(l);
  } else if (k == "mc") {
    mc(l);
  } else if (k == "gaussmc") {
    GAUSSMC = l.sw == yes;
  } else if (k == "mcoutcurrentway") {
    CONTROLJX.mcoutcurrentway = l.sw;
  } else if (k == "fract" || k == "fractionation") {
    fract(l);
  } else if (k == "fractdebug") {
    CONTROLJX.fractdebug = l.sw;
  } else {
    return false;
  }
  return true;
}

}  // namespace ZQSCRIPT
