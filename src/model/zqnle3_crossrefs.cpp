// The solver's layout of one assemblage: its end-members in assemblage
// order with their composition columns and thermodynamic rows, the unknowns
// with their names, scalings and limits, the watched site fractions, the
// mode unknowns and the phase records of SU; and the levels of the point
// loops of an equilibrium.
#include <string>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE3 {

namespace {

const char* const where = "makecrossrefs";
// The typical size of a scaled mode for the convergence test.
constexpr extended modetypx = 0.0001L;
// The last slot that the full row of an end-member carries; the slots after
// it up to the make slots are written during the calculation.
constexpr int lastdataslot = 25;

// The thermodynamic row k of TD from an end-member's own row: a made
// end-member of the newer data set keeps H, S, V and its code and is marked
// with its phase and its place in it (evaluated from its constituents);
// every other row is copied whole.
void tdrow(long k, const tdvector& td, bool made, smallint phase, smallint place) {
  tdmatrix& t = *TD;
  if (made && !WITHOLDSET) {
    for (int s = TDSLOT::H; s <= TDSLOT::V; ++s) t(k, s) = td[s];
    for (int s = TDSLOT::V + 1; s < TDSLOT::CODE; ++s) t(k, s) = 0;
    t(k, TDSLOT::MAKEPHASE) = phase;
    t(k, TDSLOT::MAKEEM) = place;
  } else {
    for (int s = 1; s <= lastdataslot; ++s) t(k, s) = td[s];
    for (int s = lastdataslot + 1; s < TDSLOT::CODE; ++s) t(k, s) = 0;
  }
  t(k, TDSLOT::CODE) = td[TDSLOT::CODE];
}

void column(long k, const icvector& comp) {
  for (long c = 1; c <= NUV; ++c) (*C)(c, k) = comp[c];
}

// The locals of one MAKECROSSREFS call, shared by its steps.
struct makecrossrefs {
  const bemvector& PH;
  long k = 0;   // end-members so far, in assemblage order
  long nx = 2;  // unknowns so far
  long nmodeset = 0;
  // Position in X of each solution phase's first variable.
  farray<smallint, 1, maxss> firstx{"makecrossrefs firstx"};

  explicit makecrossrefs(const bemvector& ph) : PH(ph) {}

  bool insolution(long p) const { return PH[p]; }
  bool inpure(long p) const { return PH[NPSS + p]; }

  void countphases() const {
    long n = 0;
    for (long p = 1; p <= NPSS + NP0; ++p)
      if (PH[p]) ++n;
    if (n > maxsu) IO::ERROREXIT(where, "too many phases in assemblage" + ZQUTE1::MAXSTR(maxsu), yourfault);
  }

  static void clear() {
    PXCO2 = 0;
    STARTSS.fill(false);
    STARTPH.fill(false);
    EM2SS.fill(0);
    EM2X.fill(0);
    BX.fill(false);
    NISSET = 0;
    BX[1] = BX[2] = true;
    XFACA[1] = PFACA;
    XFACB[1] = PFACB;
    TYPX[1] = TYPP;
    XFACA[2] = TFACA;
    XFACB[2] = TFACB;
    TYPX[2] = TYPT;
    INACC1[1] = INACC2[1] = INACC1[2] = INACC2[2] = acctype::windowlimit;
  }

  void nextendmember() {
    if (++k > maxem) IO::ERROREXIT(where, "too many end-members", yourfault);
  }

  void variables(const ptype1& ph) {
    for (long v = 1; v <= ph.nvar; ++v) {
      if (++nx > maxeq) IO::ERROREXIT(where, "too many variables", yourfault);
      const xvartype& x = ph.xvar[v];
      XNAME[nx] = x.name;
      XFACA[nx] = x.xfaca;
      XFACB[nx] = x.xfacb;
      TYPX[nx] = x.typx;
      INACC1[nx] = x.lowkind;
      INACC2[nx] = x.highkind;
      BX[nx] = !x.isset;
      PXSET[nx] = x.setindex;
      if (x.isset) ++NISSET;
      if (FLUIDTYPE == ftype::h2oco2 && x.name == "x(CO2)") PXCO2 = static_cast<smallint>(nx);
    }
  }

  void solutions() {
    for (long p = 1; p <= NPSS; ++p) {
      if (!insolution(p)) continue;
      const ptype1& ph = (*PREC1)[p];
      for (long e = 1; e <= ph.nprop; ++e) {
        nextendmember();
        if (e == 1) {
          STARTSS[k] = STARTPH[k] = true;
          EM2SS[k] = static_cast<smallint>(p);
          EM2X[k] = static_cast<smallint>(nx + 1);
          firstx[p] = EM2X[k];
        }
        const emtype& em = ph.em[e];
        NAME[k] = em.name;
        column(k, em.comp);
        tdrow(k, em.td, em.nmake != 0, static_cast<smallint>(p), static_cast<smallint>(e));
        NSITE[k] = em.nsite;
      }
      variables(ph);
    }
    NX = static_cast<smallint>(nx);
  }

  void limits() const {
    NXVARLIM = 0;
    for (long p = 1; p <= NPSS; ++p) {
      if (!insolution(p)) continue;
      const ptype1& ph = (*PREC1)[p];
      const long first = firstx[p];
      for (long r = 1; r <= ph.nvarlim; ++r) {
        if (NXVARLIM >= maxxvarlim) IO::ERROREXIT(where, "too many varlims", yourfault);
        const long row = ++NXVARLIM;
        for (long c = 1; c <= NX + 1; ++c) {
          XVARLIMN(row, c) = 0;
          XVARLIMD(row, c) = 1;
        }
        for (long c = 1; c <= ph.nvar; ++c) {
          XVARLIMN(row, c + first - 1) = ph.varlimn(r, c);
          XVARLIMD(row, c + first - 1) = ph.varlimd(r, c);
        }
        XVARLIMN(row, NX + 1) = ph.varlimn(r, ph.nprop);
        XVARLIMD(row, NX + 1) = ph.varlimd(r, ph.nprop);
      }
    }
  }

  void sitefractions() const {
    NSFNH = 0;
    for (long p = 1; p <= NPSS; ++p) {
      if (!insolution(p)) continue;
      const ptype1& ph = (*PREC1)[p];
      if (ph.allsfsimple) continue;
      for (long s = 1; s <= ph.nsf; ++s) {
        if (ph.sfsimple[s]) continue;
        if (NSFNH >= maxsfnh) IO::ERROREXIT(where, "no site fractions not handled too big", myfault);
        ++NSFNH;
        SFNHIP[NSFNH] = static_cast<smallint>(p);
        SFNHK[NSFNH] = static_cast<smallint>(s);
        SFNHIX[NSFNH] = firstx[p];
      }
    }
  }

  void pures() {
    for (long p = 1; p <= NP0; ++p) {
      if (!inpure(p)) continue;
      const ptype0& ph = (*PREC0)[p];
      nextendmember();
      NAME[k] = ph.emname;
      column(k, ph.comp);
      tdrow(k, ph.td, ph.nmake != 0, 0, static_cast<smallint>(p));
      NSITE[k] = 1;
    }
    NCV = NNE = static_cast<smallint>(k);
  }

  // One more name among the unknowns after the compositional ones.
  static long modeslot(long j, const char* message) {
    if (NX + j > maxeq) IO::ERROREXIT(where, message, yourfault);
    return NX + j;
  }

  void modeunknown(long j, const sstring& name, bool modeset, smallint modelist, extended guess) {
    const long i = NX + j;
    XNAME[i] = name;
    MODEG[j] = guess;
    BX[i] = !modeset;
    PXSET[i] = modelist;
    INACC1[i] = INACC2[i] = acctype::paccessible;
    TYPX[i] = modetypx;
    if (modeset) ++nmodeset;
  }

  void modesbynle() {
    long j = 0;
    for (long i = 1; i <= NCV; ++i) {
      if (!STARTSS[i]) continue;
      const ptype1& ph = (*PREC1)[EM2SS[i]];
      if (!TAKESMODE(EM2SS[i])) continue;
      modeslot(++j, "too many modes-1");
      MP2SS[j] = EM2SS[i];
      MP2X[j] = EM2X[i];
      modeunknown(j, ph.name, ph.modeset, ph.modelist, ph.modeguess);
    }
    NXPSS = static_cast<smallint>(j);
    for (long p = 1; p <= NP0; ++p) {
      if (!inpure(p)) continue;
      const ptype0& ph = (*PREC0)[p];
      if (!TAKESMODE(NPSS + p)) continue;
      modeslot(++j, "too many modes-2");
      MP2SS[j] = static_cast<smallint>(p);
      MP2X[j] = 0;
      modeunknown(j, ph.name, ph.modeset, ph.modelist, ph.modeguess);
    }
    NXP = static_cast<smallint>(j);
  }

  // Modes worked out after the solve: the unknowns stop at NX, and the
  // phase names follow them for the printers.
  void modesafternle() const {
    NXP = NXPSS = 0;
    long j = 0;
    for (long p = 1; p <= NPSS; ++p) {
      if (!insolution(p)) continue;
      const long i = modeslot(++j, "too many modes-1");
      XNAME[i] = (*PREC1)[p].name;
      BX[i] = true;
    }
    for (long p = 1; p <= NP0; ++p) {
      if (!inpure(p)) continue;
      const long i = modeslot(++j, "too many modes-2");
      XNAME[i] = (*PREC0)[p].name;
      BX[i] = true;
    }
  }

  void modes() {
    if (MODESBYNLE)
      modesbynle();
    else if (MODESAFTERNLE)
      modesafternle();
    else
      NXP = NXPSS = 0;
  }

  void flags() const {
    XCO2SET = PXCO2 > 0 && !BX[PXCO2];
    ONLYXCO2SET = XCO2SET && NISSET == 1;
    STARSET = XCO2SET && NISSET == 2;
    NOTHINGSET = NISSET == 0;
    ONLYONESET = NISSET == 1;
    NOTHINGMODESET = nmodeset == 0;
  }

  // The covariance narrowed from phase order to the assemblage.
  void covariance() const {
    static iemvector place{"makecrossrefs place"};     // phase-order position of each assemblage position
    static farray<const emvector*, 1, maxem> rows{};  // the covariance row each position brings
    long at = 0, k2 = 0;
    for (long p = 1; p <= NPSS; ++p) {
      const ptype1& ph = (*PREC1)[p];
      for (long e = 1; e <= ph.nprop; ++e) {
        ++at;
        if (!insolution(p)) continue;
        place[++k2] = static_cast<smallint>(at);
        rows[k2] = &ph.em[e].covrow;
      }
    }
    for (long p = 1; p <= NP0; ++p) {
      ++at;
      if (!inpure(p)) continue;
      place[++k2] = static_cast<smallint>(at);
      rows[k2] = &(*PREC0)[p].covrow;
    }
    for (long r = 1; r <= NCV; ++r)
      for (long c = 1; c <= NCV; ++c) (*COV)(r, c) = (*rows[r])[place[c]];
  }

  void records() const {
    SU.nph = 0;
    for (long i = 1; i <= NCV; ++i) {
      if (!STARTSS[i]) continue;
      const smallint p = EM2SS[i];
      const ptype1& ph = (*PREC1)[p];
      suphasetype& r = SU.ph[++SU.nph];
      r.name = ph.name;
      r.phase = p;
      r.firstx = EM2X[i];
      // The phase itself, not the record's place, is what EXBFLUIDPOS names.
      r.hasmode = p != EXBFLUIDPOS;
      r.fluidphase = ph.isfluid;
      r.aqphase = ph.isaq;
      r.nem = ph.nprop;
      for (long e = 1; e <= ph.nprop; ++e) r.emnames[e] = ph.em[e].name;
      r.nsf = ph.nsf;
      for (long s = 1; s <= ph.nsf; ++s) r.sfnames[s] = ph.sfname[s];
      for (long v = 1; v <= ph.nprop - 1; ++v) r.varnames[v] = ph.xvar[v].name;
    }
    for (long p = 1; p <= NP0; ++p) {
      if (!inpure(p)) continue;
      const ptype0& ph = (*PREC0)[p];
      suphasetype& r = SU.ph[++SU.nph];
      r.name = ph.name;
      r.phase = static_cast<smallint>(p);
      r.firstx = 0;
      r.hasmode = TAKESMODE(NPSS + p);
      r.fluidphase = r.aqphase = false;
      r.nem = 1;
      r.nsf = 0;
    }
  }

  void run() {
    countphases();
    clear();
    solutions();
    limits();
    sitefractions();
    pures();
    modes();
    XNAME[1] = "P(kbar)";
    XNAME[2] = std::string("T(") + macroman::degree + "C)";
    flags();
    if (CONTROLJX.uncertaintylevel > 0) covariance();
    records();
  }
};

// Every held variable has its level, so that the point's starting values
// read each level where it stands; one whose end-member the assemblage
// lacks has one value, as one that no reaction holds.
void addlevel(iemvector& LOOPMAX, long& n, long e, smallint values, const std::string& what) {
  if (e <= 0) {
    LOOPMAX[++n] = 1;
    return;
  }
  for (long r = 1; r <= NR; ++r)
    if ((*R)(r, e) != 0) {
      LOOPMAX[++n] = values;
      return;
    }
  LOOPMAX[++n] = 1;
  IO::PUTSTR(0, "equilibrium does not depend on " + what + "(" + NAME[e] + ")", 1, CHANNEL::TERMSUMLOG);
}

// The position of name among the end-members of the assemblage, 0 when
// absent.
long findname(const sstring& name) {
  for (long e = 1; e <= NCV; ++e)
    if (NAME[e] == name) return e;
  return 0;
}

}  // namespace

bool VARIABLEPHASE(long i) {
  if (i <= NPSS || i > NPSS + NP0) return false;
  const sstring& name = (*PREC0)[i - NPSS].name;
  for (long k = 1; k <= NMU; ++k)
    if (name == MUNAME[k]) return true;
  for (long k = 1; k <= NLNA; ++k)
    if (name == LNANAME[k]) return true;
  return false;
}

bool TAKESMODE(long i) {
  if (i <= NPSS) return !(EXBUFF && (*PREC1)[i].isfluid);
  return !VARIABLEPHASE(i);
}

void MAKECROSSREFS(const bemvector& PH) {
  makecrossrefs state(PH);
  state.run();
  // Every row now holds its end-member's own values, whatever row carried
  // an ln a variable in the last layout.
  RESETLNAROWS();
}

void SETUPLOOPS(iemvector& LOOPMAX, smallint& NLOOP, smallint /*IBATCH*/) {
  long n = 0;
  for (long i = 3; i <= NX + NXP; ++i)
    if (!BX[i]) LOOPMAX[++n] = NLISO[PXSET[i]];
  if (MODESBYNLE) LOOPMAX[++n] = NCOMP;
  for (long i = 1; i <= NLNA; ++i) {
    const long e = ZQUTE2::ONEPOSITION(LNANAME[i], "setuploops", "ln a");
    addlevel(LOOPMAX, n, e, NLLNA[i], "a");
  }
  for (long i = 1; i <= NMU; ++i) {
    const long e = findname(MUNAME[i]);
    addlevel(LOOPMAX, n, e, NLMU[i], "mu");
  }
  smallint np = NLP, nt = NLT;
  if (VARIANCE == 0) {
    np = nt = 1;
  } else if (VARIANCE == 1) {
    if (CALCVARIABLE == calcvariabletype::calcpressure) {
      np = 1;
      BX[2] = false;
    } else if (CALCVARIABLE == calcvariabletype::calctemperature) {
      nt = 1;
      BX[1] = false;
    } else {
      IO::ERROREXIT("setuploops", "unknown calcvariable", myfault);
    }
  } else {
    BX[1] = BX[2] = false;
  }
  LOOPMAX[++n] = np;
  LOOPMAX[++n] = nt;
  NLOOP = static_cast<smallint>(n);
}

}  // namespace ZQNLE3
