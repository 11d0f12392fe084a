// The assembly of the least-squares problem in each iteration: every
// experiment's activities, ln K, enthalpy limits and row, and the listing
// of all rows.
#include <cmath>
#include <string>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqread1.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

constexpr smallint rulewidth = 61;
constexpr smallint reactionwidth = 35;  // the reaction text of the row listing, padded to this

std::string ident(smallint i) { return "experiment " + IO::INT2STR(i) + " (" + IO::TRIMSTRING(XP(i).label) + ")"; }

// The phase list of an experiment: each a-x phase once by its first
// end-member, each fixed-activity entry by its name.
std::string phaselist(const xprec& x) {
  std::string s;
  for (smallint k = 1; k <= x.nem; ++k) {
    if (x.emact[k] == -1)
      s += SSNAME[x.emphase[k]] + " ";
    else if (x.emact[k] > 0)
      s += x.emname[k] + " ";
  }
  return s;
}

// Activities from the a-x models at every bracket of a record whose
// phases are given by their compositions.
void modelactivities(smallint i) {
  xprec& x = XP(i);
  static eqvector v{"assembly x"}, a{"assembly a"};
  for (smallint b = 1; b <= x.nbr; ++b) {
    brrec& br = x.br[b];
    smallint c = 0;
    for (smallint k = 1; k <= x.nem; ++k) {
      if (x.emact[k] != -1) continue;
      const smallint ph = x.emphase[k];
      const smallint n = static_cast<smallint>((*PREC1)[ph].nprop);
      for (smallint m = 1; m < n; ++m) v[m] = br.xyz[c + m];
      c = static_cast<smallint>(c + n - 1);
      OCALCA(ph, v, br.p, br.t, a);
      // Stored whatever they are: a bracket at an end-member composition
      // gives its other end-members 0, and only a reaction term's activity
      // has to be above 0 for its ln K.
      for (smallint m = 1; m <= n; ++m) br.act[k + m - 1] = a[m];
    }
  }
}

void listactivities(smallint i) {
  const xprec& x = XP(i);
  IO::PUTSTR(1, std::string(rulewidth, '-'), 1, CHANNEL::LOG);
  std::string line;
  IO::ADDINT(i, 2, line);
  IO::PUTSTR(0, line + ")  activities for " + phaselist(x) + "for the given brackets  (" + x.label + ")", 1,
             CHANNEL::LOG);
  line = "      P      T";
  for (smallint k = 1; k <= x.nem; ++k) IO::ADDNAME(x.emname[k], 10, line);
  IO::PUTSTR(0, line, 1, CHANNEL::LOG);
  for (smallint b = 1; b <= x.nbr; ++b) {
    const brrec& br = x.br[b];
    line.clear();
    IO::ADDREAL(br.p, 1, true, 7, line);
    IO::ADDINT(br.t - CONST::KELVIN, 7, line);
    for (smallint k = 1; k <= x.nem; ++k) IO::ADDREAL(br.act[k], 5, true, 10, line);
    IO::PUTSTR(0, line, 1, CHANNEL::LOG);
  }
}

void groupheading(smallint i) {
  const xprec& x = XP(i);
  IO::PUTSTR(1, std::string(rulewidth, '-'), 1, CHANNEL::LOG);
  std::string line = x.kind == 1 ? "univariant " : "divariant ";
  line += x.unknowncomps ? "equilibrium with unknown comps (" : "equilibrium (";
  IO::PUTSTR(0, line + x.label + "), involving:", 1, CHANNEL::LOG);
  for (smallint j = i; j < i + x.nreac; ++j) {
    xprec& m = XP(j);
    m.rxtext = MAKERELINE(m.rxcoef, m.rxem, m.nrx);
    IO::PUTSTR(0, "    " + IO::INT2STR(j) + ":  " + m.rxtext, 1, CHANNEL::LOG);
  }
  IO::PUTSTR(0, "", 1, CHANNEL::LOG);
}

// The row of a used experiment from its limits.
void makerow(smallint i, smallint& row, farray<smallint, 1, maxrows>& owner) {
  xprec& x = XP(i);
  if (row >= maxrows) IO::ERROREXIT("readxy", "too many experiments (increase maxnexp)", yourfault);
  ++row;
  extended tsum = 0;
  for (smallint b = 1; b <= x.nbr; ++b) tsum += x.br[b].t;
  TBAR[row] = static_cast<smallint>(std::lround(tsum / x.nbr));
  const extended y = 0.5L * (x.hlow + x.hhigh);
  const extended sd = x.wsum > 0 ? x.rfac / x.wsum : 0.5L * x.rfac * (x.hhigh - x.hlow);
  if (!std::isfinite(y) || !std::isfinite(sd) || !(sd > 0))
    IO::ERROREXIT("assembly", "no finite enthalpy limits with a width above 0 for " + ident(i), yourfault);
  (*Y)[row] = y;
  x.sdrow = sd;
  SDYBR[row] = sd;
  for (smallint k = 1; k <= x.nrx; ++k) {
    (*B)(row, x.rxem[k]) = true;
    (*LHS)(row, x.rxem[k]) = NETCOEF(x.rxcoef, x.rxem, x.nrx, k);
  }
  x.row = static_cast<smallint>(row - NEO);
  owner[row] = i;
}

void listrows(const farray<smallint, 1, maxrows>& owner) {
  IO::PUTSTR(1, "LSQ input:", 1, CHANNEL::LOG);
  IO::PUTSTR(0, "simple calorimetry", 1, CHANNEL::LOG);
  auto valueline = [](smallint r, smallint places, smallint width) {
    std::string line;
    IO::ADDINT(r, 3, line);
    IO::ADDSTR(") ", 0, line);
    IO::ADDREAL((*Y)[r], places, true, width, line);
    IO::ADDREAL(SDYBR[r], places, true, places == 2 ? 8 : width, line);
    return line;
  };
  for (smallint r = 1; r <= NEC; ++r) IO::PUTSTR(0, valueline(r, 2, 10), 1, CHANNEL::LOG);
  IO::PUTSTR(1, "oxide calorimetry", 1, CHANNEL::LOG);
  for (smallint r = NEC + 1; r <= NEO; ++r) {
    std::string line = valueline(r, 2, 10);
    const oxcalrec& o = (*OXCAL)[r - NEC];
    for (smallint k = 1; k <= o.nterm; ++k)
      if (FIRSTTERMOF(o.em, k)) IO::ADDNAME(TDA[o.em[k]].name, 6, line);
    IO::PUTSTR(0, line, 1, CHANNEL::LOG);
  }
  IO::PUTSTR(1, "experimental brackets", 1, CHANNEL::LOG);
  for (smallint r = NEO + 1; r <= NEXP; ++r) {
    std::string line = valueline(r, 4, 10) + "    ";
    std::string reaction;
    for (int side = 0; side < 2; ++side) {
      for (smallint j = 1; j <= NTP; ++j)
        if ((*B)(r, j) && ((*LHS)(r, j) < 0) == (side == 0) && (*LHS)(r, j) != 0) reaction += PHNAMES[j] + "  ";
      if (side == 0) reaction += "=  ";
    }
    line += reaction;
    const smallint pad = static_cast<smallint>(reactionwidth - static_cast<int>(reaction.size()));
    IO::ADDSTR(" ", pad > 1 ? pad : 1, line);
    const xprec& x = XP(owner[r]);
    if (!x.grouped)
      line += "  (" + x.label + ")";
    else if (x.ireac == 1)
      line += "  in:  " + phaselist(x) + "  (" + x.label + ")";
    else
      line += "        -- ditto --";
    IO::PUTSTR(0, line, 1, CHANNEL::LOG);
  }
  IO::PUTSTR(0, "", 1, CHANNEL::LOG);
}

}  // namespace

void OCALCA(smallint ph, eqvector x, extended p, extended t, eqvector& a) {
  ptype1& phase = (*PREC1)[ph];
  for (smallint v = 1; v < phase.nprop; ++v) phase.xvar[v].guess = x[v];
  static eqvector sd{"ocalca sd"};
  ZQREAD1::CALCACTIVITIES(ph, x, p, t, a, sd);
}

void ASSEMBLY(smallint iteration) {
  FLUIDTYPE = ftype::ih2oco2;
  smallint row = NEO;
  static farray<smallint, 1, maxrows> owner{"row owners"};
  const bool listing = CONTROLDS.infolevel > 1;
  const smallint records = static_cast<smallint>(NEXPT - NEO);
  for (smallint i = 1; i <= records; ++i) {
    GIXPW = i;
    xprec& x = XP(i);
    FINDPOSI(x.emds, x.nem);
    x.nofluid = H2OPOS == 0 && CO2POS == 0;
    MAKECDHYDROUS = x.crdhydrous;
    if (listing && i == 1) {
      IO::PUTSTR(1, std::string(rulewidth, '='), 1, CHANNEL::LOG);
      IO::PUTSTR(0, "iteration = " + IO::INT2STR(ITERNO) + ": ASSEMBLING experimental work", 1, CHANNEL::LOG);
    }
    if (listing && x.grouped && x.ireac == 1) groupheading(i);
    if (x.ireac <= 1) {
      if (x.grouped) {
        FILLPREC(i);
        if (x.unknowncomps && (x.xyzguess || iteration > 1)) CALCASS(i, 2, CONTROLDS.infolevel > 2);
        for (smallint b = 1; b <= x.nbr; ++b) CALCA(i, b);
      } else {
        modelactivities(i);
        if (listing) listactivities(i);
      }
    }
    if (x.nbr < 1) continue;
    x.ch = 0;
    for (smallint k = 1; k <= x.nrx; ++k) x.ch += x.rxcoef[k] * TDA[x.rxem[k]].h;
    for (smallint b = 1; b <= x.nbr; ++b) {
      brrec& br = x.br[b];
      br.lnk = 0;
      for (smallint k = 1; k <= x.nrx; ++k) {
        const smallint e = x.rxpos[k];
        if (!(br.act[e] > 0))
          IO::ERROREXIT("assembly",
                        "activity of " + x.emname[e] + " not above 0 at bracket " + IO::INT2STR(b) + " of " + ident(i),
                        yourfault);
        br.lnk += x.rxcoef[k] * std::log(br.act[e]);
      }
    }
    CALCHBR(i);
    CALCHLIMS(i);
    if (x.use) makerow(i, row, owner);
  }
  NEXP = row;
  if (listing) listrows(owner);
}

}  // namespace LSQDS
