// The experiments section of the experiments file: each block's header
// (participants and keywords), its reaction or reactions, the end-member
// list with the activity rule of each entry, and its brackets.
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

const char* const where = "readxy";
constexpr long double tighterfac = 0.5L;  // rfac of an equilibrium without one, when "good" ones are tightened
const std::string crdname = "crd", fcrdname = "fcrd";

std::string ident(smallint i) { return "experiment " + IO::INT2STR(i) + " (" + IO::TRIMSTRING(XP(i).label) + ")"; }

// A number as the user wrote it: its own decimals.
std::string given(extended v) {
  std::string s;
  IO::ADDNO(v, 0, s);
  return s;
}

std::string bracketof(smallint b, smallint i) { return "bracket " + IO::INT2STR(b) + " of " + ident(i); }

// A fraction of the fluid: the pure fluids at 0 and 1 are the ends, and
// nothing beyond them is a fluid (an activity of CO2 above 1, or of H2O).
void checkxco2(extended xco2, smallint b, smallint i) {
  if (xco2 >= 0 && xco2 <= 1) return;
  IO::ERROREXIT(where,
                "x(CO2) of " + bracketof(b, i) + " = " + given(xco2) + ": a fraction of the fluid lies within 0 and 1",
                yourfault);
}

// Within this of 0 or 1 a site fraction counts as there: written values
// that sum to 1 need not do so in binary.
constexpr long double sitetolerance = 1e-12L;

// The composition of phase ph that a bracket line gives: each site fraction
// within 0 and 1 (an end-member's composition has some at 0). An order
// parameter that its equilibrium solves for is a start only.
void checkcomposition(const ptype1& ph, const xlvector& xyz, smallint from, bool solvedorder, smallint b,
                      smallint i) {
  if (solvedorder && ph.hasorder) return;
  static eqvector v{"bracket composition"};
  const smallint nv = static_cast<smallint>(ph.nprop - 1);
  for (smallint m = 1; m <= nv; ++m) v[m] = xyz[from + m - 1];
  for (smallint s = 1; s <= ph.nsf; ++s) {
    const extended f = ZQUTE1::SUBSTERM(ph.sf[s], v, 1);
    if (f >= -sitetolerance && f <= 1 + sitetolerance) continue;
    std::string values;
    for (smallint m = 1; m <= nv; ++m)
      values += (m > 1 ? ", " : "") + IO::TRIMSTRING(ph.xvar[m].name) + " = " + given(v[m]);
    IO::ERROREXIT(where,
                  IO::TRIMSTRING(ph.name) + " at " + values + " in " + bracketof(b, i) + ": its site fraction " +
                      IO::TRIMSTRING(ph.sfname[s]) + " = " + IO::REAL2STR(f, 4, true) + " lies outside 0 and 1",
                  yourfault);
  }
}

// One block of the section while it is read: the header's names and how
// they were recognised, and the record being filled.
struct block {
  IO::strings& w;          // words of the header
  smallint first = 0;      // the record of the block's first reaction
  smallint nnames = 0;     // names in the header: words 2..nnames+1
  bool phases = false;     // a name is a solution phase

  xprec& x() const { return XP(first); }
  const sstring& name(smallint k) const { return w[k + 1]; }

  void newrecord() {
    if (NXPW >= maxrows) IO::ERROREXIT(where, "too many equilibria -> increase maxnexp", yourfault);
    NXPW = static_cast<smallint>(NXPW + 1);
    XPW->emplace_back();
  }

  // Keywords at the end, then each name as an end-member or a phase.
  void header(smallint code, smallint n) {
    newrecord();
    first = NXPW;
    xprec& r = x();
    r.use = code == 1;
    smallint last = n;
    r.show = IO::TRIMSTRING(w[last]) == "show";
    if (r.show) --last;
    const std::string key = last >= 2 ? IO::TRIMSTRING(w[last]) : std::string();
    if (key == "unknowncomps") {
      if (last < 3 || IO::TRIMSTRING(w[last - 1]) != "univariant")
        IO::ERROREXIT(where, "need univariant keyword", yourfault);
      r.kind = 1;
      r.unknowncomps = true;
      last = static_cast<smallint>(last - 2);
    } else if (key == "univariant" || key == "divariant") {
      r.kind = key == "univariant" ? 1 : 2;
      --last;
    } else {
      r.kind = -1;
      if (r.show) ++last;
      r.show = false;
    }
    nnames = static_cast<smallint>(last - 1);
    if (nnames > maxrxterms)
      IO::ERROREXIT(where, "more than " + IO::INT2STR(maxrxterms) + " names in experiment " + IO::INT2STR(first),
                    yourfault);
    r.nrx = nnames;
    for (smallint k = 1; k <= nnames; ++k) {
      smallint idx = 0, slot = 0;
      if (POSINPHNAME(name(k), idx, false)) {
        r.rxem[k] = idx;
      } else if (IO::MATCHSTRING(name(k), SSNAME, NP, slot)) {
        // A phase named again would be solved as a phase of its own, with
        // compositions of its own.
        for (smallint j = 1; j < k; ++j)
          if (r.rxem[j] == -slot)
            IO::ERROREXIT("readrc", name(k) + " given twice in experiment " + IO::INT2STR(first), yourfault);
        r.rxem[k] = static_cast<smallint>(-slot);
        phases = true;
      } else {
        IO::ERROREXIT("readrc", "not recognised \"" + name(k) + "\"", yourfault);
      }
    }
    r.hasphase = phases;
  }

  // A list entry; the list holds at most maxrxterms.
  smallint entry(const std::string& nm, smallint ds, extended act, smallint phase, smallint no) {
    xprec& r = x();
    if (r.nem == maxrxterms)
      IO::ERROREXIT(where,
                    "more than " + IO::INT2STR(maxrxterms) + " end-members in the list of experiment " +
                        IO::INT2STR(first),
                    yourfault);
    r.nem = static_cast<smallint>(r.nem + 1);
    r.emname[r.nem] = IO::MAKESSTRING(nm);
    r.emds[r.nem] = ds;
    r.emact[r.nem] = act;
    r.emphase[r.nem] = phase;
    r.emno[r.nem] = no;
    return r.nem;
  }

  // Every end-member of phase slot; those missing from the end-member file
  // only when made. Returns the list position of the first.
  smallint phaseblock(smallint slot, bool madeallowed) {
    const ptype1& ph = (*PREC1)[slot];
    smallint start = 0;
    for (smallint m = 1; m <= ph.nprop; ++m) {
      smallint idx = 0;
      if (!POSINPHNAME(ph.em[m].name, idx, false)) {
        if (!madeallowed || ph.em[m].nmake == 0)
          IO::ERROREXIT("readrc", "not recognised \"" + ph.em[m].name + "\"", yourfault);
      }
      const smallint k = entry(ph.em[m].name, idx, m == 1 ? -1 : -2, slot, m);
      if (m == 1) start = k;
    }
    return start;
  }

  void simplereaction() {
    xprec& r = x();
    const std::string context = "experiment " + IO::INT2STR(first);
    for (smallint k = 1; k <= r.nrx; ++k) r.rxcoef[k] = READINT(where, "a coefficient", context);
    r.rfac = READREAL(where, "rfac", context);
    READNEXTLINE();
    str255 text;
    READWHOLELINE(text);
    static IO::strings a{"activity line"};
    const smallint na = LINEWORDS(text, a);
    for (smallint k = 1; k <= r.nrx; ++k) {
      const sstring& word = a[k];
      const valuetype vt = IO::WHATISSTRING(word);
      const std::string emname = PHNAMES[r.rxem[k]];
      if (IO::ISNUMBER(vt)) {
        const extended act = IO::GETREAL(vt, word, "reading activity");
        if (act < 0) {
          if (emname != crdname && emname != fcrdname)
            IO::ERROREXIT(where, "activity of " + emname + " below 0 in " + context, yourfault);
          r.crdhydrous = true;
        }
        r.rxpos[k] = entry(emname, r.rxem[k], act, 0, 0);
        continue;
      }
      smallint slot = 0;
      if (!IO::MATCHSTRING(word, SSNAME, NP, slot))
        IO::ERROREXIT("reading activity", "name, " + word + ", not recognised 1", yourfault);
      const ptype1& ph = (*PREC1)[slot];
      smallint m = 0;
      for (smallint e = 1; e <= ph.nprop && m == 0; ++e)
        if (IO::SAMESTRING(ph.em[e].name, emname)) m = e;
      if (m == 0) IO::ERROREXIT(where, emname + " in " + word + " not recognised", yourfault);
      // Each of the phase's end-members must be in the end-member file.
      const smallint start = phaseblock(slot, false);
      r.rxpos[k] = static_cast<smallint>(start + m - 1);
    }
    for (smallint k = r.nrx + 1; k <= na; ++k) r.label += a[k] + " ";
    if (r.crdhydrous)
      for (smallint k = 1; k <= r.nem; ++k)
        if (r.emname[k] == crdname || r.emname[k] == fcrdname) r.emact[k] = 1;
    r.grouped = false;
    r.nreac = r.ireac = 1;
  }

  // Header name k is an end-member named before: the equilibrium has it
  // once, however often it is named (a pure phase twice leaves the solve
  // with two equal equations).
  bool again(smallint k) {
    if (x().rxem[k] <= 0) return false;
    for (smallint j = 1; j < k; ++j)
      if (x().rxem[j] == x().rxem[k]) return true;
    return false;
  }

  // The list from the header, the reactions among it, and the copies of
  // the list in the records of the further reactions.
  void phaseheader() {
    xprec& r = x();
    // The phases are worked on in the working slots ahead of the a-x
    // file's, and their variables fill one bracket's compositions.
    smallint nphases = 0, nvars = 0;
    for (smallint k = 1; k <= nnames; ++k) {
      if (r.rxem[k] > 0) continue;
      ++nphases;
      nvars = static_cast<smallint>(nvars + (*PREC1)[-r.rxem[k]].nvar);
    }
    if (nphases > workslots)
      IO::ERROREXIT(where, "more than " + IO::INT2STR(workslots) + " solution phases in experiment " + IO::INT2STR(first),
                    yourfault);
    if (nvars > maxrxterms)
      IO::ERROREXIT(where,
                    "more than " + IO::INT2STR(maxrxterms) + " compositional variables in experiment " +
                        IO::INT2STR(first),
                    yourfault);
    for (smallint k = 1; k <= nnames; ++k) {
      if (again(k)) continue;
      if (r.rxem[k] > 0) {
        entry(name(k), r.rxem[k], 1, 0, 0);
        continue;
      }
      const smallint slot = static_cast<smallint>(-r.rxem[k]);
      phaseblock(slot, true);
      const ptype1& ph = (*PREC1)[slot];
      for (smallint m = 1; m <= ph.nprop; ++m)
        for (smallint c = 1; c <= ph.em[m].nmake; ++c) {
          smallint idx = 0;
          POSINPHNAME(ph.em[m].makename[c], idx, true);
          entry(ph.em[m].makename[c], idx, 0.5L, slot, m);
        }
    }
    const std::string context = "experiment " + IO::INT2STR(first);
    const smallint nreac = READINT(where, "the number of reactions", context);
    r.rfac = READREAL(where, "rfac", context);
    r.label = IO::TRIMSTRING(READREST());
    if (nreac < 1) IO::ERROREXIT(where, "no reaction in " + context, yourfault);
    if (NXPW + nreac - 1 > maxrows) IO::ERROREXIT(where, "too many equilibria -> increase maxnexp", yourfault);
    r.nreac = nreac;
    for (smallint q = 2; q <= nreac; ++q) newrecord();
    for (smallint q = 1; q <= nreac; ++q) reaction(q);
  }

  void reaction(smallint q) {
    static IO::strings rw{"reaction line"};
    smallint n = 0;
    const smallint rec = static_cast<smallint>(first + q - 1);
    if (!READTAKENLINE(rw, n)) IO::ERROREXIT(where, "file ends inside experiment " + IO::INT2STR(first), yourfault);
    if (n > maxrxterms)
      IO::ERROREXIT(where, "more than " + IO::INT2STR(maxrxterms) + " terms in a reaction of experiment " +
                               IO::INT2STR(first),
                    yourfault);
    const xprec& head = x();
    xprec& r = XP(rec);
    if (q > 1) {
      r.nreac = head.nreac;
      r.kind = head.kind;
      r.use = head.use;
      r.rfac = head.rfac;
      r.label = head.label;
      r.nem = head.nem;
      r.emname = head.emname;
      r.emds = head.emds;
      r.emact = head.emact;
      r.emphase = head.emphase;
      r.emno = head.emno;
    }
    r.nrx = n;
    for (smallint k = 1; k <= n; ++k) {
      smallint pos = 0;
      if (!IO::MATCHSTRING(rw[k], head.emname, head.nem, pos))
        IO::ERROREXIT("readrc", "not recognised \"" + rw[k] + "\" 1", yourfault);
      // A name the header gives twice (a phase's end-member and a phase of
      // its own, or two phases' end-members) stands at two activities: the
      // term would take whichever the header named first. Constituents of
      // made end-members are no participants.
      smallint given = 0;
      for (smallint e = 1; e <= head.nem; ++e)
        if (head.emname[e] == rw[k] && !(head.emphase[e] != 0 && head.emact[e] > 0)) ++given;
      if (given > 1)
        IO::ERROREXIT("readrc", rw[k] + " is an end-member of two phases of experiment " + IO::INT2STR(first),
                      yourfault);
      // The reaction's enthalpy is a sum over end-members of the file.
      if (head.emds[pos] == 0) IO::ERROREXIT("posinphname", rw[k] + " is not an end-member name", yourfault);
      r.rxpos[k] = pos;
      r.rxem[k] = head.emds[pos];
    }
    const std::string context = "experiment " + IO::INT2STR(rec);
    for (smallint k = 1; k <= n; ++k) r.rxcoef[k] = READINT(where, "a coefficient", context);
    r.grouped = true;
    r.ireac = q;
    FINDPOSI(r.emds, r.nem);
    r.nofluid = H2OPOS == 0 && CO2POS == 0;
    r.crdhydrous = false;
  }

  void weighting() {
    xprec& r = x();
    if (CONTROLDS.userfac == no)
      r.rfac = 1;
    else if (r.rfac <= 0)
      r.rfac = CONTROLDS.tighten == yes ? tighterfac : 1;
    for (smallint q = 2; q <= r.nreac; ++q) XP(first + q - 1).rfac = r.rfac;
  }

  void report() {
    xprec& r = x();
    if (CONTROLDS.infolevel > 1 && first == 1) IO::PUTSTR(2, "READING experimental work", 1, CHANNEL::LOG);
    std::string names;
    for (smallint k = 1; k <= nnames; ++k) names += name(k) + " ";
    if (!r.grouped) {
      r.rxtext = MAKERELINE(r.rxcoef, r.rxem, r.nrx);
      if (CONTROLDS.infolevel > 2) {
        std::string line;
        IO::ADDINT(first, 2, line);
        IO::PUTSTR(0, line + ")  " + r.rxtext + "  (" + r.label + ")", 1, CHANNEL::TERMINAL);
      }
      IO::PUTSTR(0, "  " + IO::INT2STR(first) + ")  " + r.rxtext + "  (" + r.label + ")", 1, CHANNEL::LOG);
      return;
    }
    const smallint lastrec = static_cast<smallint>(first + r.nreac - 1);
    if (CONTROLDS.infolevel > 1) {
      const std::string count = r.nreac == 1 ? "reaction:" : IO::INT2STR(r.nreac) + " reactions:";
      IO::PUTSTR(0, "  equil: " + names + "  (" + r.label + "), involving next " + count, 1, CHANNEL::LOG);
      for (smallint q = first; q <= lastrec; ++q) {
        XP(q).rxtext = MAKERELINE(XP(q).rxcoef, XP(q).rxem, XP(q).nrx);
        IO::PUTSTR(0, "    " + IO::INT2STR(q) + ")  " + XP(q).rxtext, 1, CHANNEL::LOG);
      }
    } else {
      std::string line = "  " + IO::INT2STR(first);
      if (r.nreac > 1) line += "-" + IO::INT2STR(lastrec);
      IO::PUTSTR(0, line + ")  equil: " + names + "  (" + r.label + ")", 1, CHANNEL::LOG);
    }
  }

  void brackets();
  void values(brrec& br, const IO::strings& bw, smallint nw);
};

// The values that the end-member list asks for on one bracket line.
void block::values(brrec& br, const IO::strings& bw, smallint nw) {
  xprec& r = x();
  smallint j = 0, c = 0;
  for (smallint k = 1; k <= r.nem; ++k) {
    const extended rule = r.emact[k];
    if (rule == -2) {
      br.act[k] = -2;
    } else if (rule == -1) {
      const ptype1& ph = (*PREC1)[r.emphase[k]];
      const smallint nv = static_cast<smallint>(ph.nprop - 1);
      if (c + nv > maxrxterms)
        IO::ERROREXIT(where, "more than " + IO::INT2STR(maxrxterms) + " compositional values a bracket in " +
                                 ident(first),
                      yourfault);
      for (smallint v = 1; v <= nv; ++v) {
        ++j;
        if (r.xyzguess) continue;
        if (j + 4 > nw) {
          if (!r.unknowncomps) IO::ERROREXIT(where, "not enough info 1", yourfault);
          r.xyzguess = true;
          continue;
        }
        br.xyz[c + v] = IO::GETREAL(IO::WHATISSTRING(bw[j + 4]), bw[j + 4], "reading xyz");
      }
      if (!r.xyzguess) checkcomposition(ph, br.xyz, static_cast<smallint>(c + 1), r.grouped, r.nbr, first);
      // From the first short line on, the compositions come from the
      // phase record (the a-x file's starting guesses).
      if (r.xyzguess)
        for (smallint v = 1; v <= nv; ++v) br.xyz[c + v] = ph.xvar[v].guess;
      c = static_cast<smallint>(c + nv);
      br.act[k] = -1;
    } else if (rule == 0) {
      ++j;
      if (j + 4 > nw) IO::ERROREXIT(where, "not enough info 2", yourfault);
      br.act[k] = IO::GETREAL(IO::WHATISSTRING(bw[j + 4]), bw[j + 4], "reading a");
      if (!(br.act[k] > 0))
        IO::ERROREXIT(where,
                      "activity of " + r.emname[k] + " not above 0 in bracket " + IO::INT2STR(r.nbr) + " of " +
                          ident(first),
                      yourfault);
    } else {
      br.act[k] = rule;
    }
  }
  // Every fixed-activity entry of the list, not only the first nrx: a phase
  // term lists all its end-members, which pushes the fluid further down.
  // Each entry of a fluid end-member is the fluid, however often it is
  // written.
  for (smallint k = 1; k <= r.nem; ++k) {
    if (br.act[k] < 1) continue;
    const specialem sp = SPECIALEM(r.emds[k]);
    if (sp == specialem::h2o) br.act[k] = 1 - br.xco2;
    if (sp == specialem::co2) br.act[k] = br.xco2;
  }
}

// The entries that the activity word of a simple reaction's term put in the
// list: its own, or the block of its phase. first..last, and the block's
// compositional values at xfirst..xfirst+nx-1 of a bracket.
struct listpart {
  smallint first = 0, last = 0, xfirst = 1, nx = 0;
};

listpart partof(const xprec& r, smallint e) {
  listpart p;
  p.first = p.last = e;
  if (r.emact[e] >= 0) return p;
  while (p.first > 1 && r.emact[p.first] == -2) --p.first;
  const smallint n = static_cast<smallint>((*PREC1)[r.emphase[p.first]].nprop);
  p.last = static_cast<smallint>(p.first + n - 1);
  p.nx = static_cast<smallint>(n - 1);
  for (smallint k = 1; k < p.first; ++k)
    if (r.emact[k] == -1) p.xfirst = static_cast<smallint>(p.xfirst + (*PREC1)[r.emphase[k]].nprop - 1);
  return p;
}

// Terms j and k, of one end-member, stand at one activity at every bracket:
// one list entry, or entries whose activities agree at every bracket (for a
// phase: one phase at the same compositions).
bool oneactivity(const xprec& r, smallint j, smallint k) {
  const smallint a = r.rxpos[j], b = r.rxpos[k];
  if (a == b) return true;
  if (r.grouped) return false;
  const bool pa = r.emact[a] < 0, pb = r.emact[b] < 0;
  if (pa != pb) return false;
  const listpart qa = partof(r, a), qb = partof(r, b);
  if (pa && r.emphase[qa.first] != r.emphase[qb.first]) return false;
  for (smallint n = 1; n <= r.nbr; ++n) {
    const brrec& br = r.br[n];
    if (br.act[a] != br.act[b]) return false;
    for (smallint v = 0; v < qa.nx; ++v)
      if (br.xyz[qa.xfirst + v] != br.xyz[qb.xfirst + v]) return false;
  }
  return true;
}

// Takes term k out of a simple reaction's record with the list entries (and
// bracket values) that its activity word put there.
void dropterm(xprec& r, smallint k) {
  const listpart q = r.grouped ? listpart{} : partof(r, r.rxpos[k]);
  if (!r.grouped) {
    const smallint len = static_cast<smallint>(q.last - q.first + 1);
    for (smallint e = q.first; e <= r.nem; ++e) {
      const smallint from = static_cast<smallint>(e + len);
      const bool in = from <= r.nem;
      r.emname[e] = in ? r.emname[from] : sstring();
      r.emds[e] = in ? r.emds[from] : 0;
      r.emact[e] = in ? r.emact[from] : 0;
      r.emphase[e] = in ? r.emphase[from] : 0;
      r.emno[e] = in ? r.emno[from] : 0;
      for (smallint n = 1; n <= r.nbr; ++n) r.br[n].act[e] = in ? r.br[n].act[from] : 0;
    }
    if (q.nx > 0)
      for (smallint n = 1; n <= r.nbr; ++n) {
        brrec& br = r.br[n];
        for (smallint v = q.xfirst; v <= maxrxterms; ++v) {
          const smallint from = static_cast<smallint>(v + q.nx);
          br.xyz[v] = from <= maxrxterms ? br.xyz[from] : 0;
        }
      }
    r.nem = static_cast<smallint>(r.nem - len);
    for (smallint t = 1; t <= r.nrx; ++t)
      if (r.rxpos[t] > q.last) r.rxpos[t] = static_cast<smallint>(r.rxpos[t] - len);
  }
  for (smallint t = k; t < r.nrx; ++t) {
    r.rxem[t] = r.rxem[t + 1];
    r.rxcoef[t] = r.rxcoef[t + 1];
    r.rxpos[t] = r.rxpos[t + 1];
  }
  r.rxem[r.nrx] = r.rxcoef[r.nrx] = r.rxpos[r.nrx] = 0;
  r.nrx = static_cast<smallint>(r.nrx - 1);
}

// Terms of one end-member at one activity become one term, in the place of
// the first, with their coefficients added: the reaction is then worked
// exactly as if written so, its ln K, rows and the widths of its brackets
// (whose activity test goes by list entry) included. Terms at different
// activities stay apart.
void jointerms(smallint rec) {
  xprec& r = XP(rec);
  const std::string what = ident(rec);
  for (smallint k = 2; k <= r.nrx; ++k)
    for (smallint j = 1; j < k; ++j) {
      if (r.rxem[j] != r.rxem[k] || !oneactivity(r, j, k)) continue;
      r.rxcoef[j] = COEFSUM(static_cast<long>(r.rxcoef[j]) + r.rxcoef[k], r.rxcoef, r.rxem, r.nrx, j, what);
      dropterm(r, k);
      --k;
      break;
    }
}

void block::brackets() {
  static IO::strings bw{"bracket line"};
  smallint nw = 0;
  xprec& r = x();
  r.nbr = 0;
  for (;;) {
    if (!READTAKENLINE(bw, nw)) IO::ERROREXIT(where, "file ends inside the brackets of " + ident(first), yourfault);
    const smallint code = IO::GETINTEGER(IO::WHATISSTRING(bw[1]), bw[1], "reading br code");
    if (code < 0) break;
    if (r.nbr == maxbrackets) IO::ERROREXIT(where, "need to increase maxnb", yourfault);
    r.nbr = static_cast<smallint>(r.nbr + 1);
    brrec& br = r.br[r.nbr];
    br = brrec{};
    br.id = r.nbr;
    br.dir = br.upasread = code == 1;
    br.p = IO::GETREAL(IO::WHATISSTRING(bw[2]), bw[2], "reading P");
    const extended t = IO::GETREAL(IO::WHATISSTRING(bw[3]), bw[3], "reading T");
    // A bracket of code 2 is read and dropped: no calculation takes its P-T.
    if (code != 2) {
      ZQUTE1::PHYSICALP(br.p, "P of a bracket of " + ident(first), where);
      ZQUTE1::PHYSICALT(t, "T of a bracket of " + ident(first), where);
    }
    br.t = t + CONST::KELVIN;
    br.xco2 = IO::GETREAL(IO::WHATISSTRING(bw[4]), bw[4], "reading x(CO2)");
    checkxco2(br.xco2, r.nbr, first);
    for (smallint q = 2; q <= r.nreac; ++q) {
      brrec& other = XP(first + q - 1).br[r.nbr];
      other.id = br.id;
      other.dir = other.upasread = br.dir;
      other.p = br.p;
      other.t = br.t;
      other.xco2 = br.xco2;
    }
    values(br, bw, nw);
    if (code == 2) r.nbr = static_cast<smallint>(r.nbr - 1);
  }
  for (smallint q = 2; q <= r.nreac; ++q) XP(first + q - 1).nbr = r.nbr;
  // Brackets on one side only give no limit on the other: the experiment
  // could not be weighed.
  bool lower = false, upper = false;
  for (smallint b = 1; b <= r.nbr; ++b) (r.br[b].dir ? upper : lower) = true;
  if (r.nbr > 0 && !(lower && upper))
    IO::ERROREXIT(where, "brackets on one side only in " + ident(first), yourfault);
}

}  // namespace

void READEXPERIMENTS() {
  NXPW = 0;
  XPW->clear();
  static IO::strings w{"experiment header"};
  smallint n = 0;
  for (;;) {
    if (!READTAKENLINE(w, n)) IO::ERROREXIT(where, "file ends inside the experiments", yourfault);
    const smallint code = IO::GETINTEGER(IO::WHATISSTRING(w[1]), w[1], "reading xp code");
    if (code == 0) return;
    block k{w};
    k.header(code, n);
    if (k.phases) {
      k.phaseheader();
    } else {
      k.simplereaction();
    }
    k.weighting();
    if (!k.phases) {
      xprec& r = k.x();
      FINDPOSI(r.emds, r.nem);
      r.nofluid = H2OPOS == 0 && CO2POS == 0;
    }
    for (smallint q = 0; q < k.x().nreac; ++q) {
      xprec& r = XP(static_cast<smallint>(k.first + q));
      CHECKCOEFSUMS(r.rxcoef, r.rxem, r.nrx, ident(static_cast<smallint>(k.first + q)));
    }
    k.report();
    k.brackets();
    for (smallint q = 0; q < k.x().nreac; ++q) jointerms(static_cast<smallint>(k.first + q));
  }
}

}  // namespace LSQDS
