// The reaction finder of calc modes 2 and 3: component subsets smallest
// first, and inside each the phase sets one larger than its rank, pruned by
// set tests before any elimination. The order of the enumeration decides
// which reactions are found, so it is lexicographic throughout.
#include <cmath>
#include <memory>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute2.h"
#include "model/zqre.h"
#include "model/zqre_finder.h"

using namespace ZQGLOBAL;

namespace ZQRE {

smallint NPHSUB = 0;
smallint NRSUB = 0;
smallint NRSUBOLD = 0;
smallint NRSUBTARGET = 0;
bool SUBINFOWRITTEN = false;

void RESETFINDER() {
  NPHSUB = NRSUB = NRSUBOLD = NRSUBTARGET = 0;
  SUBINFOWRITTEN = false;
}

namespace {

constexpr smallint maxtries = 400;  // fruitless candidates before the user is asked
constexpr smallint EXCLUDEDPERLINE = 9;     // names on a line of the exclusions before it wraps
constexpr smallint EXCLUDEDBARCOLUMN = 22;  // column of the first bar, where wrapped lines put theirs

}  // namespace

IO::longint3 FLAGSET(const bemvector& flags) {
  IO::longint3 s;
  for (smallint j = 1; j <= NNE; ++j)
    if (flags[j]) IO::BSET2(s, j);
  return s;
}

IO::longint3 ROWSET(smallint k) {
  IO::longint3 s;
  for (smallint j = 1; j <= NNE; ++j)
    if ((*R)(k, j) != 0) IO::BSET2(s, j);
  return s;
}

bool HOLDSEXEM(const bemvector& flags) {
  for (smallint i = 1; i <= NEX1; ++i)
    if (EXEM[i] >= 1 && EXEM[i] <= NNE && flags[EXEM[i]]) return true;
  return false;
}

bool HOLDSEXA(const IO::longint3& s) {
  for (smallint i = 1; i <= NEX; ++i)
    if (IO::BSUBSET2(EXA[i], s)) return true;
  return false;
}

void CALCOXIDES(const iemvector& cc, smallint k, bcvector& ox, bemvector& ph, smallint& nph) {
  for (smallint i = 1; i <= NU; ++i) ox[i] = false;
  for (smallint i = 1; i <= k; ++i) ox[cc[i]] = true;
  for (smallint j = 1; j <= NCV; ++j) ph[j] = true;
  for (smallint i = 1; i <= NU; ++i) {
    if (ox[i]) continue;
    for (smallint j = 1; j <= NNE; ++j)
      if (ph[j]) ph[j] = (*C)(i, j) == 0;
  }
  for (smallint i = 1; i <= NEX1; ++i)
    if (EXEM[i] >= 1 && EXEM[i] <= NCV) ph[EXEM[i]] = false;
  nph = 0;
  for (smallint j = 1; j <= NNE; ++j)
    if (ph[j]) ++nph;
}

smallint CALCRANKC(const bemvector& ph) {
  // 640 kB: made once, kept for the run.
  static std::unique_ptr<liemmatrix> a;
  if (!a) a = std::make_unique<liemmatrix>("calcrankc a");
  smallint n = 0;
  for (smallint j = 1; j <= NCV; ++j) {
    if (!ph[j]) continue;
    ++n;
    for (smallint i = 1; i <= NU; ++i) (*a)(i, n) = (*C)(i, j);
  }
  if (n == 0 || NU < 1) return 0;
  return ZQMATH1::CALCRANK(*a, NU, n);
}

bool CALCLNIR(const bemvector& ph, smallint k) {
  const bool last = k == NU;
  NRSUBTARGET = static_cast<smallint>(NPHSUB - RANKC);
  if (NNE > maxrephases) IO::ERROREXIT("calclnir", "too many end-members", yourfault);
  // The kept reactions' phases come from their rows: a dropped reaction
  // leaves its set in RBIT, so RBIT[1..NR] need not be the kept ones.
  const IO::longint3 s = FLAGSET(ph);
  NRSUBOLD = 0;
  for (smallint r = 1; r <= NR; ++r)
    if (IO::BSUBSET2(ROWSET(r), s)) ++NRSUBOLD;
  NRSUB = NRSUBOLD;
  smallint need = static_cast<smallint>(NRSUBTARGET - NRSUBOLD);
  if (need != 0 && NR != 0 && !last) {
    smallint nin = 0, nout = 0;
    for (smallint j = 1; j <= NNE; ++j) {
      bool unused = true;
      for (smallint r = 1; r <= NR && unused; ++r) unused = (*R)(r, j) == 0;
      if (!unused) continue;
      if (ph[j])
        ++nin;
      else
        ++nout;
    }
    if (nout != 0) {
      // The last missing reaction is left for a subsystem that holds a
      // phase still unused.
      if (ONIR - NR == 1)
        need = 0;
      else if (ONIR - NR <= 2 && nin < need)
        need = nin;
    }
  }
  NRSUBTARGET = static_cast<smallint>(NRSUBOLD + need);
  return need > 0;
}

void CALCPHASES(const iemvector& pc, const bcvector& ox, const bemvector& ph, bemvector& sel, bool& skip) {
  (void)ox;
  const smallint size = static_cast<smallint>(RANKC + 1);
  sel = ph;
  smallint no = 0, at = 1;
  for (smallint j = 1; j <= NNE; ++j) {
    if (!ph[j]) continue;
    ++no;
    if (at <= size && pc[at] == no)
      ++at;
    else
      sel[j] = false;
  }
  skip = HOLDSEXEM(sel);
  if (skip) return;
  const IO::longint3 s = FLAGSET(sel);
  skip = HOLDSEXA(s);
  if (skip) return;
  for (smallint i = 1; i <= NRBIT && !skip; ++i) skip = IO::BSUBSET2(RBIT[i], s);
}

namespace {

// The excluded phases and assemblages on one line, wrapped so that the bars
// of the continuation lines stand under the first one. The line is built
// field by field, so a long one is cut where every other line is.
void reportexcluded() {
  std::string& line = IO::WSTR;
  line.clear();
  if (NEX < 1 && NEX1 < 1) {
    if (!DOALLREACTIONS) IO::ADDSTR("no excluded assemblages", 0, line);
  } else {
    IO::ADDSTR("excluded assemblages |", 0, line);
    for (smallint i = 1; i <= NEX1; ++i) IO::ADDSTR(" " + NAME[EXEM[i]] + " |", 0, line);
    smallint names = NEX1;
    for (smallint i = 1; i <= NEX; ++i) {
      for (smallint j = 1; j <= NNE; ++j)
        if (IO::BTST2(EXA[i], j)) {
          IO::ADDSTR(" " + NAME[j], 0, line);
          ++names;
        }
      IO::ADDSTR(" |", 0, line);
      if (names > EXCLUDEDPERLINE && i < NEX) {
        IO::PUTSTR(1, line, 0, CHANNEL::TERMSUMLOG);
        names = 0;
        line.clear();
        IO::ADDSTR("|", EXCLUDEDBARCOLUMN, line);
      }
    }
  }
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
}

// One search of CALCRE: the calc mode's flags and the work vectors that its
// stages share.
struct calcre {
  static constexpr longint tl = CHANNEL::TERMLOG;
  bool rock = CALCMODE == calcmodetype::rockcalc;
  bool utility = CALCMODE == calcmodetype::utilitycalc;
  bool phase = CALCMODE == calcmodetype::phasecalc;
  iemvector cc{"calcre components"}, pc{"calcre phases"}, ic{"calcre intersection"};
  bcvector ox{"calcre component flags"};
  bemvector ph{"calcre phase flags"}, sel{"calcre chosen"}, seli{"calcre intersection set"};
  long tries = 0;
  bool done = false;

  // Calc mode 2: the rank of the whole rock, its number of independent
  // reactions, and whether the window is one line of the average.
  void rocksetup() {
    IO::PUTSTR(0, "reactions : ", 0, tl);
    if (!REHELP) IO::PUTSTR(0, "", 1, tl);
    for (smallint j = 1; j <= NCV; ++j) ph[j] = j <= NNE;
    for (smallint i = 1; i <= NEX1; ++i)
      if (EXEM[i] >= 1 && EXEM[i] <= NCV) ph[EXEM[i]] = false;
    NPHSUB = 0;
    for (smallint j = 1; j <= NNE; ++j)
      if (ph[j]) ++NPHSUB;
    RANKC = CALCRANKC(ph);
    ONIR = static_cast<smallint>(NPHSUB - RANKC);
    PRINTC();
    if (AVMODE == avtype::avpmode)
      JUSTCHECKONE = std::fabs(FIXEDT - TLOW) < ONELINETTOL;
    else if (AVMODE == avtype::avtmode)
      JUSTCHECKONE = std::fabs(FIXEDP - PLOW) < ONELINEPTOL;
    else
      JUSTCHECKONE = true;
  }

  // After a candidate reaction: whether its subsystem has more to give
  // (more) and whether the whole search is over (done).
  void aftercandidate(bool& more) {
    if (NR == maxreac) REDUCE(false);
    OVERNR = NR == maxreac;
    done = OVERNR;
    if (rock) {
      more = NRSUB < NRSUBTARGET;
      done = NR == ONIR;
      if (tries == maxtries && NR == 0) done = IO::QUERY("not much progress : exitt");
    } else if (!utility && !phase) {
      done = true;
    }
  }

  // The reactions among RANKC + 1 phases of the component subset of size k.
  void reactions(smallint k) {
    SUBINFOWRITTEN = false;
    if (NPHSUB < 2 || RANKC < 1) {
      IO::PUTSTR(1, "no reactions with less than 2 phases?!", 1, tl);
      IO::PUTSTR(0, "REALLY should not have got to here...", 1, tl);
      return;
    }
    const smallint size = static_cast<smallint>(RANKC + 1);
    bool more = false;
    ZQUTE2::SETUPCHOOSE(pc, size);
    ZQUTE2::CHOOSE(pc, size, NPHSUB, more);
    while (more && !done) {
      bool skip = false;
      CALCPHASES(pc, ox, ph, sel, skip);
      if (!skip) {
        if (rock && NRSUB == NRSUBOLD && !SUBINFOWRITTEN) WRITESYSTEMINFO(ox, ph);
        ++tries;
        CALCR(k, ox, ph, sel);
        aftercandidate(more);
      }
      if (more && !done) ZQUTE2::CHOOSE(pc, size, NPHSUB, more);
    }
  }

  // The intersections among RANKC + 2 phases of the current subset; the
  // enumeration runs to its end even once the table is full.
  void intersections() {
    if (NPHSUB < 3) {
      IO::PUTSTR(1, "no intersections with less than 3 phases?!", 1, tl);
      IO::PUTSTR(0, "REALLY should not have got to here  (A) ...", 1, tl);
      return;
    }
    if (RANKC < 1) {
      IO::PUTSTR(1, "no reactions with less than 3 phases?!", 1, tl);
      IO::PUTSTR(0, "REALLY should not have got to here  (B) ...", 1, tl);
      return;
    }
    const smallint size = static_cast<smallint>(RANKC + 2);
    bool more = false;
    ZQUTE2::SETUPCHOOSE(ic, size);
    ZQUTE2::CHOOSE(ic, size, NPHSUB, more);
    while (more) {
      bool skip = false;
      CALCPHASESI(ic, ph, seli, skip);
      OVERNI = NINT == maxint;
      if (!skip && !OVERNI) CALCI(seli);
      ZQUTE2::CHOOSE(ic, size, NPHSUB, more);
    }
  }

  // One component subset of size k, held in cc.
  void subset(smallint k) {
    CALCOXIDES(cc, k, ox, ph, NPHSUB);
    if (NPHSUB > 1) RANKC = CALCRANKC(ph);
    if (NPHSUB <= 1 || RANKC + 1 > NPHSUB) return;
    if (!rock || CALCLNIR(ph, k)) reactions(k);
    if (!done && !OVERNI && !rock && !utility && RANKC + 2 <= NPHSUB) intersections();
  }

  // Component subsets smallest first, each size in lexicographic order.
  void search() {
    for (smallint k = 1; k <= NU && !done; ++k) {
      bool cmore = false;
      ZQUTE2::SETUPCHOOSE(cc, k);
      ZQUTE2::CHOOSE(cc, k, NU, cmore);
      while (cmore && !done) {
        subset(k);
        if (!done) ZQUTE2::CHOOSE(cc, k, NU, cmore);
      }
    }
  }

  // What the search gives each calc mode: its summary line in mode 2, the
  // exclusions and counts with the final reduction in modes 0 and 3.
  void report(bool& ok) const {
    if (rock) {
      ok = done;
      INCOMPLETE = NR < ONIR;
      const char* text = NR == 0       ? "no reactions"
                         : INCOMPLETE ? "an INCOMPLETE independent set of reactions has been calculated"
                                      : "an independent set of reactions has been calculated";
      IO::PUTSTR(1, text, 1, CHANNEL::TERMSUMLOG);
      return;
    }
    if (!utility && !phase) {
      ok = done;
      return;
    }
    reportexcluded();
    ok = !OVERNR && !OVERNI;
    REDUCE(true);
    if (OVERNR)
      IO::PUTSTR(2,
                 DOALLREACTIONS ? "*** INCOMPLETE set of reactions ***"
                                : "*** INCOMPLETE set of reactions and intersections ***",
                 1, CHANNEL::TERMSUMLOG);
    if (!DOALLREACTIONS && OVERNI) IO::PUTSTR(2, "*** INCOMPLETE set of  intersections ***", 1, CHANNEL::TERMSUMLOG);
    std::string line = "no of reactions = " + IO::INT2STR(NR);
    if (!DOALLREACTIONS) line += ", no of intersections = " + IO::INT2STR(NINT);
    IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
  }
};

}  // namespace

void CALCRE(bool& ok) {
  if (CALCMODE == calcmodetype::nlecalc) IO::ERROREXIT("calcre", "mode 1 sent to the wrong place", myfault);
  JUSTCHECKONE = false;
  calcre search;
  if (search.rock) search.rocksetup();

  OVERNR = OVERNI = false;
  NSYM = MARKSTART;
  NRSUB = 0;
  NR = 0;
  NRBIT = 0;
  NINT = 0;

  if (NU < 1) {
    IO::PUTSTR(1, "no reactions in a system with no components?!", 1, calcre::tl);
    IO::PUTSTR(0, "should not have got to here...", 1, calcre::tl);
    return;
  }
  search.search();
  search.report(ok);
}

}  // namespace ZQRE
