// The set-up of the a-x models against the script: everything between the
// end of the a-x file and its closing, in the order the driver relies on.
#include <cmath>
#include <cstdio>

#include "frame/zqglobal_axsetup.h"
#include "frame/zqmath1.h"
#include "input/zqread2_setup.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

namespace {

const std::string quote = "\"";

template <class List>
smallint find(const sstring& name, const List& list, long n) {
  for (long i = 1; i <= n; ++i)
    if (list[i] == name) return static_cast<smallint>(i);
  return 0;
}

smallint findlong(const sstring& name) {
  for (long i = 1; i <= NPSS; ++i)
    if ((*PREC1)[i].longname == name) return static_cast<smallint>(i);
  return 0;
}

bool inwith(const sstring& name) { return find(name, WHSTRINGS, NWHSTRINGS) > 0; }

void BUFFER() {
  BUFFERK = 0;
  if (NBUFFER > 0 && !BUFFERC.empty()) {
    BUFFERK = find(BUFFERC, BUFFERNAME, NBUFFER);
    // The name is the user's word: a typo, or a buffer of another a-x file.
    if (BUFFERK == 0) IO::ERROREXIT("read", "script, " + quote + BUFFERC + quote + ", not in axfile", yourfault);
  }
}

void WITHALL() {
  if (NWHSTRINGS > 100) {
    NWHSTRINGS = NP;
    for (long i = 1; i <= NP; ++i) {
      if (i <= NPSS) {
        WHSTRINGS[i] = (*PREC1)[i].name;
        LONGWHSTRINGS[i] = (*PREC1)[i].longname;
      } else {
        WHSTRINGS[i] = (*PREC0)[i - NPSS].name;
        LONGWHSTRINGS[i] = WHSTRINGS[i];
      }
    }
  } else {
    for (long i = 1; i <= NWHSTRINGS; ++i) LONGWHSTRINGS[i] = WHSTRINGS[i];
  }
}

void appendscname(long to, long count, const sstring& s, const sstring& l, const sstring& f) {
  if (count > maxscnames)
    IO::ERROREXIT("setup phases", "too many names in a samecoding group" + ZQUTE1::MAXSTR(maxscnames), yourfault);
  SCNAME(to, count) = s;
  LONGSCNAME(to, count) = l;
  FULLSCNAME(to, count) = f;
}

// Script groups name the phase to copy first; file groups name only the
// copies. Brings the script's groups to the file's form and merges a
// script group into the file's group of the same phase.
void SAMECODINGGROUPS(axreader& reader, smallint s, farray<bool, 1, maxscgroups>& keep) {
  if (WITHOLDSET) IO::ERROREXIT("read", "same coding not available", yourfault);
  for (long g = 1; g <= maxscgroups; ++g) keep[g] = true;
  for (long g = 1; g <= s; ++g) {
    sstring suffix;
    HANDLEPNAME(LONGSCNAME(g, 1), SCNAME(g, 1), suffix);
    const smallint k = findlong(LONGSCNAME(g, 1));
    if (k == 0)
      IO::ERROREXIT("setup phases", "first samecoding phase, " + LONGSCNAME(g, 1) + " is not in the axfile", yourfault);
    reader.modelphase[g] = k;
    const ptype1& model = (*PREC1)[k];
    if (model.coding >= 2 && model.suffix.empty())
      IO::ERROREXIT("setup phases", "first samecoding phase, " + model.longname + " should be a long phasename",
                    yourfault);
    for (long j = 2; j <= ISC[g]; ++j) {
      HANDLEPNAME(LONGSCNAME(g, j), SCNAME(g, j), suffix);
      SCNAME(g, j - 1) = SCNAME(g, j);
      LONGSCNAME(g, j - 1) = LONGSCNAME(g, j);
      FULLSCNAME(g, j - 1) = model.fullname;
    }
    --ISC[g];
  }
  if (NSC > s) {
    for (long j = 1; j <= s; ++j)
      for (long i = s + 1; i <= NSC; ++i) {
        if (reader.modelphase[i] != reader.modelphase[j]) continue;
        for (long n = 1; n <= ISC[j]; ++n)
          appendscname(i, ISC[i] + n, SCNAME(j, n), LONGSCNAME(j, n), FULLSCNAME(j, n));
        ISC[i] = static_cast<smallint>(ISC[i] + ISC[j]);
        keep[j] = false;
      }
  }
  long kept = 0;
  for (long g = 1; g <= NSC; ++g) {
    if (!keep[g]) continue;
    ++kept;
    if (kept == g) continue;
    for (long n = 1; n <= ISC[g]; ++n) appendscname(kept, n, SCNAME(g, n), LONGSCNAME(g, n), FULLSCNAME(g, n));
    ISC[kept] = ISC[g];
    reader.modelphase[kept] = reader.modelphase[g];
  }
  NSC = static_cast<smallint>(kept);
  for (long g = 1; g <= NSC; ++g) {
    long n = 0;
    for (long j = 1; j <= ISC[g]; ++j) {
      bool repeated = false;
      for (long i = 1; i <= n; ++i) repeated = repeated || SCNAME(g, i) == SCNAME(g, j);
      if (repeated) continue;
      ++n;
      if (n != j) appendscname(g, n, SCNAME(g, j), LONGSCNAME(g, j), FULLSCNAME(g, j));
    }
    ISC[g] = static_cast<smallint>(n);
  }
}

void GUESSESNEEDED() {
  if (CONTROLJX.batch == yes) return;
  for (long p = 1; p <= NPSS; ++p) {
    const ptype1& r = (*PREC1)[p];
    if (r.coding < 2 || !(inwith(r.name) || inwith(r.longname))) continue;
    if (NXYZ <= 0) IO::ERROREXIT("setup phases", "no xyz starting guesses in scriptfile 1", yourfault);
    if (find(r.xvar[1].name, XYZNAME, NXYZ) == 0)
      IO::ERROREXIT("setup phases", "no xyz starting guesses for " + r.name, yourfault);
  }
}

void LISTSAMECODINGS(const axreader& reader) {
  std::string text = "\nall axfile samecodings\n";
  for (long g = 1; g <= NSC; ++g) {
    text += "  " + (*PREC1)[reader.modelphase[g]].name + " # ";
    for (long j = 1; j <= ISC[g]; ++j) text += SCNAME(g, j) + " ";
    text += "\n";
  }
  IO::WRITETERMINAL(text);
}

// The name of variable v carried over to the phase named copy: the part
// before its "(" is kept.
sstring renamevar(const sstring& v, const sstring& model, const sstring& copy, long cut) {
  const long keep = static_cast<long>(v.size()) - static_cast<long>(model.size()) - cut;
  std::string name = v.substr(0, keep < 0 ? 0 : static_cast<std::size_t>(keep)) + (cut == 2 ? "(" : "") + copy + ")";
  // The variables of every phase are one list to the starting guesses.
  return IO::KEPTNAME("the phases' variables", name);
}

void MAKECOPY(axreader& reader, long g, long j, smallint k) {
  if (NPSS + 1 > maxss)
    IO::ERROREXIT("setup phases", "too many ss phases (in making samecoding phases)", yourfault);
  ++NP;
  ++NPSS;
  for (long i = NPSS; i > k + 1; --i) (*PREC1)[i] = (*PREC1)[i - 1];
  (*PREC1)[k + 1] = (*PREC1)[k];
  ptype1& copy = (*PREC1)[k + 1];
  const ptype1& model = (*PREC1)[k];
  copy.name = SCNAME(g, j);
  copy.longname = LONGSCNAME(g, j);
  copy.fullname = FULLSCNAME(g, j);
  copy.nsamecoding = 0;
  copy.sameasname = model.name;
  copy.sameaslong = model.longname;
  copy.sameasfull = model.fullname;
  for (long v = 1; v <= copy.nvar; ++v) copy.xvar[v].name = renamevar(copy.xvar[v].name, model.name, copy.name, 1);
  for (long i = 1; i <= NSC; ++i)
    if (reader.modelphase[i] > k) ++reader.modelphase[i];
}

void SAMECODEDPHASES(axreader& reader) {
  for (long g = 1; g <= NSC; ++g) {
    for (long j = 1; j <= ISC[g]; ++j) {
      const smallint k = reader.modelphase[g];
      if (!(inwith(SCNAME(g, j)) || inwith(LONGSCNAME(g, j)))) continue;
      const ptype1& model = (*PREC1)[k];
      if (CONTROLJX.batch == yes) {
        for (long m = 1; m <= NMC; ++m) {
          mctype& item = MCINFO[m];
          if (item.phasename[1] != model.name && item.phasename[1] != model.longname) continue;
          if (item.nphase + 1 > maxmcnames)
            IO::ERROREXIT("setup phases", "number of mcphase" + ZQUTE1::MAXSTR(maxmcnames), yourfault);
          ++item.nphase;
          item.phasename[item.nphase] = SCNAME(g, j);
        }
      } else {
        const sstring first = renamevar(model.xvar[1].name, model.name, SCNAME(g, j), 2);
        if (NXYZ <= 0) IO::ERROREXIT("setup phases", "no xyz starting guesses in scriptfile 2", yourfault);
        if (find(first, XYZNAME, NXYZ) == 0)
          IO::ERROREXIT("setup phases", "no xyzguess for samecoding phase " + SCNAME(g, j), yourfault);
      }
      MAKECOPY(reader, g, j, k);
    }
  }
}

void WITHNAMES() {
  farray<bool, 1, maxphaselist> used{"with used"};
  farray<bool, 1, maxss> taken{"phase used"};
  for (int pass = 1; pass <= 2; ++pass) {
    for (long i = 1; i <= NWHSTRINGS; ++i) {
      if (used[i]) continue;
      for (long k = 1; k <= NPSS; ++k) {
        const ptype1& p = (*PREC1)[k];
        if (taken[k] || (pass == 1 ? p.longname : p.name) != WHSTRINGS[i]) continue;
        used[i] = true;
        taken[k] = true;
        WHSTRINGS[i] = p.name;
        LONGWHSTRINGS[i] = p.longname;
        break;
      }
    }
  }
}

void LISTCHECKS() {
  if (CALCMODE == calcmodetype::utilitycalc) return;
  for (long a = 1; a <= NWHSTRINGS; ++a)
    for (long b = a + 1; b <= NWHSTRINGS; ++b)
      if (WHSTRINGS[a] == WHSTRINGS[b])
        IO::ERROREXIT("setup phases",
                      "two phases, " + LONGWHSTRINGS[a] + " and " + LONGWHSTRINGS[b] + ", with the same name in " +
                          quote + "with" + quote,
                      yourfault);
  auto resolve = [](farray<sstring, 1, maxexcess>& list, farray<sstring, 1, maxexcess>& longlist, smallint n,
                    const std::string& what, const std::string& gap) {
    for (long i = 1; i <= n; ++i) {
      smallint k = find(list[i], WHSTRINGS, NWHSTRINGS);
      if (k > 0) {
        longlist[i] = LONGWHSTRINGS[k];
      } else if ((k = find(list[i], LONGWHSTRINGS, NWHSTRINGS)) > 0) {
        list[i] = WHSTRINGS[k];
        longlist[i] = LONGWHSTRINGS[k];
      } else {
        IO::ERROREXIT("setup phases", what + list[i] + "," + gap + "not in " + quote + "with" + quote, yourfault);
      }
    }
  };
  resolve(EXCESSSTRINGS, LONGEXCESSSTRINGS, NEXCESSSTRINGS, "in excess phase, ", " ");
  resolve(TOZEROSTRINGS, LONGTOZEROSTRINGS, NTOZEROSTRINGS, "tozero phase, ", "  ");
}

void SCRIPTGUESSES(axreader& reader) {
  for (long pi = 1; pi <= NPSS; ++pi) {
    const smallint p = static_cast<smallint>(pi);
    ptype1& r = (*PREC1)[p];
    if (!inwith(r.name)) continue;
    const smallint k = r.nvar >= 1 ? find(r.xvar[1].name, XYZNAME, NXYZ) : smallint(0);
    if (k > 0) {
      r.scriptguess = true;
      long m = 1;
      bool same = false;
      for (;;) {
        same = XYZNAME[k + m - 1] == r.xvar[m].name;
        if (!same || m == r.nvar || k + m - 1 == NXYZ) break;
        ++m;
      }
      if (k + m - 1 == NXYZ && m < r.nvar)
        IO::ERROREXIT("setupphases", "xyzguess: wrong no of vars", yourfault);
      if (!same)
        IO::ERROREXIT("setupphases",
                      "xyzguess names don't match axfile: " + quote + r.xvar[m].name + quote + " " + quote +
                          XYZNAME[k + m - 1] + quote,
                      yourfault);
      for (long v = 1; v <= r.nvar; ++v) {
        const long q = k + v - 1;
        xvartype& x = r.xvar[v];
        x.guess = XYZ[q];
        if (XYZSD[q] > 0) x.sd = XYZSD[q];
        if (XYZLIM1[q] < x.low0) x.low0 = XYZLIM1[q];
        if (XYZLIM2[q] > x.high0) x.high0 = XYZLIM2[q];
        if (x.low0 >= x.high0) IO::ERROREXIT("read", "read in lower limit > upper limit in xyz range", yourfault);
        x.low = x.low0;
        x.high = x.high0;
      }
    }

    for (long e = 1; e <= r.nprop; ++e) r.emkept[e] = true;
    r.nvar0 = r.nvar;
    r.nzeroguess = 0;
    for (long v = 1; v <= r.nvar; ++v) {
      r.varname0[v] = r.xvar[v].name;
      r.varkept[v] = r.xvar[v].guess != 0;
      if (r.xvar[v].guess == 0) r.zeroguessname[++r.nzeroguess] = r.xvar[v].name;
    }
    if (r.nzeroguess > 0) SETUP::BOILDOWN(reader, p);

    if (!r.hasorder && !ZQUTE1::XYZLEGAL(p)) {
      IO::PUTSTR(1, "for " + r.name + ", site fractions are:", 1, CHANNEL::TERMSUMLOG);
      eqvector x{"guesses"};
      for (long v = 1; v <= r.nvar; ++v) x[v] = r.xvar[v].guess;
      for (long i = 1; i <= r.nsf; ++i) {
        std::string line = r.sfname[i] + " = ";
        IO::ADDREAL(ZQUTE1::SUBSTERM(r.sf[i], x, 1), 6, true, 12, line);
        IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
      }
      IO::PUTSTR(0, "site fractions must all be positive (starting guess problems)", 1, CHANNEL::TERMSUMLOG);
      IO::ERROREXIT("setupphases", "inconsistent starting guesses", yourfault);
    }
  }
}

// With batch at "ask", as with batch on, the guesses are the blocks' and are
// not checked here.
void GUESSESAGAINSTLIMITS() {
  if (CONTROLJX.batch != no) return;
  for (long p = 1; p <= NPSS; ++p) {
    ptype1& r = (*PREC1)[p];
    if (!inwith(r.name)) continue;
    for (long v = 1; v <= r.nvar; ++v) {
      const xvartype& x = r.xvar[v];
      if (x.isorder) continue;
      const bool small = x.lowkind == acctype::inaccessible ? x.guess <= x.low : x.guess < x.low;
      if (small) IO::ERROREXIT("setupphases", "guess too small for " + x.name, yourfault);
      const bool large = x.highkind == acctype::inaccessible ? x.guess >= x.high : x.guess > x.high;
      if (large) IO::ERROREXIT("setupphases", "guess too large for " + x.name, yourfault);
    }
    r.modeguess = -1;
    const smallint k = find(r.name, MODENAME, NMODEGUESS);
    if (k > 0 && MODEGUESSV[k] > 0) r.modeguess = MODEGUESSV[k];
  }
}

void COLOURS() {
  if (CALCMODE != calcmodetype::nlecalc || CONTROLJX.batch == yes) return;
  for (long p = 1; p <= NPSS; ++p) (*PREC1)[p].hasrgb = false;
  for (long p = 1; p <= NP0; ++p) (*PREC0)[p].hasrgb = false;
  if (NRGBS <= 0) return;
  for (long p = 1; p <= NPSS; ++p) {
    const smallint k = find((*PREC1)[p].name, RGBN, NRGBS);
    if (k == 0) continue;
    (*PREC1)[p].hasrgb = true;
    for (long c = 1; c <= 3; ++c) (*PREC1)[p].rgb[c] = RGBS(k, c);
  }
  for (long p = 1; p <= NP0; ++p) {
    const smallint k = find((*PREC0)[p].name, RGBN, NRGBS);
    if (k == 0) continue;
    (*PREC0)[p].hasrgb = true;
    for (long c = 1; c <= 3; ++c) (*PREC0)[p].rgb[c] = RGBS(k, c);
  }
}

// The variables at the composition where the phase is end-member e.
void checkpoint(const ptype1& r, const emtype& em, eqvector& x) {
  for (long v = 1; v <= r.nvar; ++v)
    x[v] = static_cast<extended>(em.checkcoef[v]) / static_cast<extended>(em.checkdiv);
}

void IDEALMIXINGCHECK() {
  std::string list;
  for (long p = 1; p <= NPSS; ++p) {
    const ptype1& r = (*PREC1)[p];
    for (long e = 1; e <= r.nprop; ++e) {
      const emtype& em = r.em[e];
      if (em.nsfterm <= 0 || em.checkdiv <= 0) continue;
      eqvector x{"check point"};
      checkpoint(r, em, x);
      extended a = em.norm;
      for (long j = 1; j <= em.nsfterm; ++j) {
        const sftermtype& f = em.sfterm[j];
        const extended s = ZQUTE1::SUBSTERM(r.sf[f.sfindex], x, 1);
        if (f.powern == 1 && f.powerd == 1) {
          a = a * s;
        } else {
          if (s <= 0)
            IO::ERROREXIT("setupphases",
                          "ideal mixing term = 0 for " + em.name + " in " + r.name + " (check coding wrong?)",
                          yourfault);
          a = a * ZQMATH1::TOPOWER(s, f.powern, f.powerd);
        }
      }
      if (std::fabs(a - 1) > 0.001L) {
        if (!list.empty()) list += ", ";
        list += em.name + " in " + r.name + " = ";
        IO::ADDREAL(a, 4, true, 0, list);
      }
    }
  }
  if (list.empty()) return;
  IO::PUTSTR(2, "inconsistent ideal mixing activities: " + list, 1, CHANNEL::TERMSUMLOG);
  IO::ERROREXIT("setupphases", " ideal mixing terms not equal to 1 for pure end-members (also look at check coding)",
                yourfault);
}

void PROPORTIONCHECK() {
  std::string list;
  for (long p = 1; p <= NPSS; ++p) {
    const ptype1& r = (*PREC1)[p];
    for (long e = 1; e <= r.nprop; ++e) {
      const emtype& em = r.em[e];
      if (em.checkdiv <= 0) continue;
      eqvector x{"check point"};
      checkpoint(r, em, x);
      const extended v = ZQUTE1::SUBSTERM(r.prop[e], x, 1);
      if (std::fabs(v - 1) > 0.001L) {
        // Each entry ends in ", " and the entries are joined by ", " as well.
        if (!list.empty()) list += ", ";
        list += em.name + " = ";
        IO::ADDREAL(v, 3, true, 0, list);
        list += ", ";
      }
    }
  }
  if (list.empty()) return;
  IO::PUTSTR(2, "inconsistent p coding: " + list, 1, CHANNEL::TERMSUMLOG);
  IO::ERROREXIT("setupphases", "proportions not equal to 1 for pure end-members (also look at check coding)",
                yourfault);
}

void CLOSEAXFILE() {
  if (IO::DATA.f != nullptr && std::fclose(IO::DATA.f) != 0)
    IO::ERROREXIT("setupphases", "problems closing datafile", yourfault);
  IO::DATA.f = nullptr;
  IO::DATAOPEN = false;
}

}  // namespace

void axreader::SETUPAGAINSTSCRIPT() { ZQREAD2::SETUPAGAINSTSCRIPT(*this); }

void SETUPAGAINSTSCRIPT(axreader& reader) {
  BUFFER();
  WITHALL();
  reader.FLUIDHANDLING();
  const smallint s = reader.nscscript;
  if (NSC > 0) {
    farray<bool, 1, maxscgroups> keep{"samecoding keep"};
    SAMECODINGGROUPS(reader, s, keep);
  }
  GUESSESNEEDED();
  if (NSC > s) LISTSAMECODINGS(reader);
  SAMECODEDPHASES(reader);
  WITHNAMES();
  LISTCHECKS();
  if (CONTROLJX.batch == no) {
    SCRIPTGUESSES(reader);
  } else {
    SETUP::BATCHSETUP(reader);
  }
  for (long p = 1; p <= NPSS; ++p) SETUP::SETLIMITS(static_cast<smallint>(p));
  GUESSESAGAINSTLIMITS();
  COLOURS();
  IDEALMIXINGCHECK();
  PROPORTIONCHECK();
  CLOSEAXFILE();
}

}  // namespace ZQREAD2
