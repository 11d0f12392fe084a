// Activities of the end-members of the solution phases of a calculation,
// with the analytic derivatives of RT ln a that the Jacobian needs.
#include <cmath>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

// One-sided steps of the fluid volumes' slopes.
constexpr extended fluiddT = 0.01L;   // K
constexpr extended fluiddP = 0.001L;  // kbar

// Coefficients of the a-x expressions are double-precision quotients of
// their two integers, widened afterwards, as the evaluator forms them.
extended quotient(smallint n, smallint d) {
  if (d == 0) IO::ERROREXIT("subsdiffterm", "zero denominator in an a-x expression", yourfault);
  return static_cast<extended>(static_cast<double>(n) / static_cast<double>(d));
}

// Work arrays of one phase in one call: fixed size, on the stack.
struct phasework {
  farray<extended, 1, maxsf> sf{"calca sf"};
  fmatrix<extended, 1, maxsf, 1, maxssem> dsf{"calca dsf"};
  farray<extended, 1, maxssem> p{"calca p"};
  fmatrix<extended, 1, maxssem, 1, maxssem> dp{"calca dp"};
  farray<extended, 1, maxw> w{"calca w"}, wt{"calca wt"}, wp{"calca wp"};
  farray<extended, 1, maxssem> a0{"calca a0"}, at{"calca at"}, ap{"calca ap"};
  farray<extended, 1, maxssem> alpha{"calca alpha"}, phi{"calca phi"};
  farray<extended, 1, maxssem> dphit{"calca dphit"}, dphip{"calca dphip"};
  fmatrix<extended, 1, maxssem, 1, maxssem> dphi{"calca dphi"};
  // Per pair, for the end-member at hand: W*, dj and dl.
  farray<extended, 1, maxw> wstar{"calca wstar"}, dj{"calca dj"}, dl{"calca dl"};
  // Per variable and pair, dl dy[j] + dj dy[l] for an end-member outside
  // the pair, where dj and dl are -y[j] and -y[l] whatever the end-member.
  fmatrix<extended, 1, maxssem, 1, maxw> outside{"calca outside"};
};

// A linear form a + bT + cP made to return f at (P, T) with slopes fT, fP.
void setlinear(extended f, extended ft, extended fp, extended P, extended T, extended& a, extended& b, extended& c) {
  b = ft;
  c = fp;
  a = f - T * ft - P * fp;
}

// Molar volume of end-member e of a fluid phase at (P, T).
extended fluidvolume(const ptype1& ph, long e, extended P, extended T) {
  extended V = 0, rtlnf = 0;
  if (e == ph.h2opos) {
    ZQCALC1::H2OPROPS(P, T, V, rtlnf);
  } else if (e == ph.co2pos) {
    ZQCALC1::CO2PROPS(P, T, V, rtlnf);
  } else {
    const smallint s = ph.em[e].fluidcode;
    ZQCALC1::CORRSTATE(P, T, CSP[s], CST[s], V, rtlnf);
  }
  return V;
}

// A volume at (P, T) and at the steps of its T and P slopes; the steps hold
// the choices of the fluid's equation of state at (P, T).
template <class Props>
void slopestates(Props props, extended P, extended T, extended& V, extended& VT, extended& VP) {
  extended rtlnf = 0;
  ZQCALC1::HELDSTEP hold;
  props(P, T, V, rtlnf);
  hold.STEPPED();
  props(P, T + fluiddT, VT, rtlnf);
  hold.STEPPED();
  props(P + fluiddP, T, VP, rtlnf);
}

// Size parameters and interaction energies of a fluid phase from the
// volumes of its species.
void fluidphase(const ptype1& ph, long n, extended P, extended T, phasework& w) {
  farray<extended, 1, maxssem> V{"fluid V"}, VT{"fluid VT"}, VP{"fluid VP"};
  for (long e = 1; e <= n; ++e)
    slopestates([&](extended p, extended t, extended& v, extended&) { v = fluidvolume(ph, e, p, t); }, P, T, V[e],
                VT[e], VP[e]);
  w.a0[1] = 1;
  w.at[1] = 0;
  w.ap[1] = 0;
  for (long e = 2; e <= n; ++e) {
    const extended f = V[e] / V[1];
    const extended ft = (VT[e] / V[e] - VT[1] / V[1]) * (V[e] / V[1]) / fluiddT;
    const extended fp = (VP[e] / V[e] - VP[1] / V[1]) * (V[e] / V[1]) / fluiddP;
    setlinear(f, ft, fp, P, T, w.a0[e], w.at[e], w.ap[e]);
  }
  long m = 0;
  for (long j = 1; j <= n - 1; ++j)
    for (long l = j + 1; l <= n; ++l) {
      ++m;
      const extended A = AIJ(ph.em[j].fluidcode, ph.em[l].fluidcode);
      const extended f = A * (1 / V[j] + 1 / V[l]);
      const extended ft = -A * ((VT[j] / V[j] - 1) / V[j] + (VT[l] / V[l] - 1) / V[l]) / fluiddT;
      const extended fp = -A * ((VP[j] / V[j] - 1) / V[j] + (VP[l] / V[l] - 1) / V[l]) / fluiddP;
      setlinear(f, ft, fp, P, T, w.w[m], w.wt[m], w.wp[m]);
    }
}

// Size parameters of an aqueous phase relative to its solvent, and the
// solvent-CO2 interaction from their volumes.
void aqphase(const ptype1& ph, long n, extended P, extended T, phasework& w) {
  extended Vw = 0, VTw = 0, VPw = 0;
  slopestates(ZQCALC1::H2OPROPS, P, T, Vw, VTw, VPw);
  w.a0[1] = 1;
  w.at[1] = 0;
  w.ap[1] = 0;
  long first = 2;
  if (ph.co2pos > 0) {
    extended Vc = 0, VTc = 0, VPc = 0;
    slopestates(ZQCALC1::CO2PROPS, P, T, Vc, VTc, VPc);
    const extended f = Vc / Vw;
    const extended ft = (VTc / Vc - VTw / Vw) * (Vc / Vw) / fluiddT;
    const extended fp = (VPc / Vc - VPw / Vw) * (Vc / Vw) / fluiddP;
    setlinear(f, ft, fp, P, T, w.a0[2], w.at[2], w.ap[2]);
    const extended A = AIJ(1, 2);
    const extended fw = A * (1 / Vw + 1 / Vc);
    const extended fwt = -A * ((VTw / Vw - 1) / Vw + (VTc / Vc - 1) / Vc) / fluiddT;
    const extended fwp = -A * ((VPw / Vw - 1) / Vw + (VPc / Vc - 1) / Vc) / fluiddP;
    setlinear(fw, fwt, fwp, P, T, w.w[1], w.wt[1], w.wp[1]);
    first = 3;
  }
  for (long e = first; e <= n; ++e) {
    const extended a = ph.alphaa[e], b = ph.alphab[e], c = ph.alphac[e];
    const extended s = (b * T + a) + c * P;
    CHECKSIZE(ph, e, s, P, T, "calca");
    const extended sT = (b * (T + fluiddT) + a) + c * P;
    const extended sP = (b * T + a) + c * (P + fluiddP);
    const extended f = s / Vw;
    const extended ft = (sT / s - VTw / Vw) * (s / Vw) / fluiddT;
    const extended fp = (sP / s - VPw / Vw) * (s / Vw) / fluiddP;
    setlinear(f, ft, fp, P, T, w.a0[e], w.at[e], w.ap[e]);
  }
}

// The site fractions of the phase at the point where one that an
// ideal-mixing term uses is not positive; the run then stops.
[[noreturn]] void badsitefraction(const ptype1& ph, const eqvector& x, const phasework& w, long e, long f, long s) {
  std::string line;
  DUMPSITEFRACTIONS(ph, x, w.sf, 2, "     ", 5, line);
  line = "phase = " + ph.name + ", end-member = " + ph.em[e].name + ", tmf term no = " + IO::INT2STR(f) +
         ", sf term no = " + IO::INT2STR(s) + ", sf = " + IO::REAL2STR(w.sf[s], 4, true);
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(1, "sorry - try changing starting guesses!", 1, CHANNEL::TERMSUMLOG);
  IO::ERROREXIT("calca", "negative sf term", yourfault);
}

}  // namespace

bool FILESIZE(const ptype1& ph, long e) {
  if (ph.model != axtype::vanlaar || ph.isfluid) return false;
  return !(ph.isaq && (e == 1 || e == ph.co2pos));
}

void CHECKSIZE(const ptype1& ph, long e, extended size, extended P, extended T, const char* where) {
  if (size > 0 || !FILESIZE(ph, e)) return;
  std::string line = "van Laar size of " + ph.em[e].name + " in " + ph.name + " = ";
  // A drawn size may be of any magnitude.
  if (std::fabs(size) < IO::WIDESTNO)
    IO::ADDREAL(size, 4, true, 0, line);
  else
    line += IO::EXPNO(size);
  line += " at " + IO::REAL2STR(P, 1, true) + " kbar, " + IO::INT2STR(T - CONST::KELVIN) + macroman::degree + "C" +
          ": a size must be above 0";
  IO::ERROREXIT(where, line, yourfault);
}

void DUMPSITEFRACTIONS(const ptype1& ph, const eqvector& x, const farray<extended, 1, maxsf>& sf, smallint lead,
                       const char* namepad, smallint sfdigits, std::string& line) {
  line = namepad;
  for (long i = 3; i <= NX; ++i) IO::ADDNAME(XNAME[i], 12, line);
  IO::PUTSTR(lead, line, 1, CHANNEL::TERMSUMLOG);
  line = "x =  ";
  for (long i = 3; i <= NX; ++i) IO::ADDREAL(x[i], 5, true, 12, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  line = "     ";
  for (long k = 1; k <= ph.nsf; ++k) IO::ADDNAME(ph.sfname[k], 12, line);
  IO::PUTSTR(1, line, 1, CHANNEL::TERMSUMLOG);
  line = "sf = ";
  for (long k = 1; k <= ph.nsf; ++k) IO::ADDREAL(sf[k], sfdigits, true, 12, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

namespace {

// One linear factor of a product term at x: its constant plus each entry's
// rational times its variable.
extended factorat(const xtermtype& xf, const eqvector& x, smallint offset) {
  extended s = quotient(xf.cn, xf.cd);
  for (long k = 1; k <= xf.m; ++k) s = s + quotient(xf.an[k], xf.ad[k]) * x[xf.v[k] + offset - 1];
  return s;
}

}  // namespace

extended SUBSDIFFTERM(const termtype& term, smallint v, const eqvector& x, smallint offset) {
  extended result = 0;
  for (long t = 1; t <= term.nterms; ++t) {
    const sxtermtype& st = term.terms[t];
    if (st.coef == 0) continue;
    // Every occurrence of v, factor by factor and entry by entry, adds its
    // own product: a factor may carry v in more than one entry.
    for (long fs = 1; fs <= st.nfactors; ++fs) {
      const xtermtype& occ = st.factors[fs];
      for (long ks = 1; ks <= occ.m; ++ks) {
        if (occ.v[ks] != v) continue;
        if (occ.ad[ks] == 0) IO::ERROREXIT("subsdiffterm", "zero denominator in an a-x expression", yourfault);
        extended product = 1;
        for (long f = 1; f <= st.nfactors; ++f)
          product = f == fs ? (product * occ.an[ks]) / occ.ad[ks] : product * factorat(st.factors[f], x, offset);
        result = product * st.coef + result;
      }
    }
  }
  return result;
}

namespace {

// One solution phase in one call of CALCA, taken step by step: its site
// fractions and proportions, the van Laar sums, then for each end-member
// the ideal activity, the excess term and the derivatives.
struct phasestep {
  const ptype1& ph;
  const eqvector& x;
  smallint offset;  // position in x of the phase's first variable
  long n, nv;       // end-members and variables
  extended P, T;
  bool ptderivs, xderivs;
  bool ideal, vanlaar;
  suphasetype& su;
  phasework& w;
  extended S = 0;  // the van Laar sum of p times alpha

  // Site fractions, proportions, and the working copies of the interaction
  // energies and size parameters after any fluid treatment.
  void sitefractions();
  // False when S leaves the van Laar model, the activities then set to 0.
  bool vanlaarsums(long i);
  // The pair terms of the x derivatives that no end-member of the pair
  // changes, once for every end-member outside it.
  void outsidepairs();
  extended idealactivity(long e) const;
  // The activity coefficient of end-member e, keeping the pair quantities
  // its derivatives use.
  extended excessterm(long e);
  void xderivatives(long e, long g, dRTlnadxtype& drtlnadx) const;
  void ptderivatives(long e, long g, emvector& drtlnadp, emvector& drtlnadt) const;
};

void phasestep::sitefractions() {
  for (long s = 1; s <= ph.nsf; ++s) w.sf[s] = ZQUTE1::SUBSTERM(ph.sf[s], x, offset);
  if (xderivs)
    for (long s = 1; s <= ph.nsf; ++s)
      for (long v = 1; v <= nv; ++v) w.dsf(s, v) = SUBSDIFFTERM(ph.sf[s], static_cast<smallint>(v), x, offset);

  for (long e = 1; e <= n; ++e) {
    w.p[e] = ZQUTE1::SUBSTERM(ph.prop[e], x, offset);
    su.p[e] = w.p[e];
  }
  if (ideal) return;
  if (xderivs)
    for (long e = 1; e <= n; ++e)
      for (long v = 1; v <= nv; ++v) w.dp(e, v) = SUBSDIFFTERM(ph.prop[e], static_cast<smallint>(v), x, offset);
  for (long m = 1; m <= ph.nw; ++m) {
    w.w[m] = ph.wa[m];
    w.wt[m] = ph.wb[m];
    w.wp[m] = ph.wc[m];
  }
  for (long e = 1; e <= n; ++e) {
    w.a0[e] = ph.alphaa[e];
    w.at[e] = ph.alphab[e];
    w.ap[e] = ph.alphac[e];
  }
  if (ph.isfluid)
    fluidphase(ph, n, P, T, w);
  else if (ph.isaq)
    aqphase(ph, n, P, T, w);
}

bool phasestep::vanlaarsums(long i) {
  for (long e = 1; e <= n; ++e) {
    w.alpha[e] = (w.at[e] * T + w.a0[e]) + w.ap[e] * P;
    if (!ph.isaq) CHECKSIZE(ph, e, w.alpha[e], P, T, "calca");
    S = S + w.p[e] * w.alpha[e];
  }
  // Outside the van Laar model: activity 0, which the equations refuse
  // as any activity <= 0.
  if (S == 0 || !std::isfinite(S)) {
    for (long e = 1; e <= n; ++e) {
      ACTIVITY[i + e - 1] = 0;
      su.ideal[e] = 0;
      su.gamma[e] = 0;
      su.activity[e] = 0;
    }
    return false;
  }
  for (long e = 1; e <= n; ++e) w.phi[e] = w.p[e] * w.alpha[e] / S;
  if (ptderivs) {
    extended ST = 0, SP = 0;
    for (long e = 1; e <= n; ++e) {
      ST = ST + w.p[e] * w.at[e];
      SP = SP + w.p[e] * w.ap[e];
    }
    for (long e = 1; e <= n; ++e) {
      w.dphit[e] = (w.at[e] * w.p[e] - ST * w.phi[e]) / S;
      w.dphip[e] = (w.ap[e] * w.p[e] - SP * w.phi[e]) / S;
    }
  }
  if (xderivs)
    for (long v = 1; v <= nv; ++v) {
      extended Sv = 0;
      for (long e = 1; e <= n; ++e) Sv = Sv + w.alpha[e] * w.dp(e, v);
      for (long e = 1; e <= n; ++e) w.dphi(e, v) = (w.alpha[e] * w.dp(e, v) - Sv * w.phi[e]) / S;
    }
  return true;
}

void phasestep::outsidepairs() {
  const farray<extended, 1, maxssem>& y = vanlaar ? w.phi : w.p;
  const fmatrix<extended, 1, maxssem, 1, maxssem>& dy = vanlaar ? w.dphi : w.dp;
  for (long q = 1; q <= ph.nwpair; ++q) {
    const wpairtype& pr = ph.wpair[q];
    // As the end-member's own dj and dl are formed: 0 - y, not -y, so that
    // a zero keeps its sign.
    const extended dj = static_cast<extended>(0) - y[pr.wj];
    const extended dl = static_cast<extended>(0) - y[pr.wk];
    for (long v = 1; v <= nv; ++v) w.outside(v, q) = dl * dy(pr.wj, v) + dj * dy(pr.wk, v);
  }
}

extended phasestep::idealactivity(long e) const {
  const emtype& em = ph.em[e];
  extended aid = em.norm;
  for (long f = 1; f <= em.nsfterm; ++f) {
    const sftermtype& ft = em.sfterm[f];
    const extended sfv = w.sf[ft.sfindex];
    if (sfv <= 0) badsitefraction(ph, x, w, e, f, ft.sfindex);
    if (ft.powern == 1 && ft.powerd == 1)
      aid = sfv * aid;
    else
      aid = ZQMATH1::TOPOWER(sfv, ft.powern, ft.powerd) * aid;
  }
  if (aid <= 0) IO::ERROREXIT("calca", "ln <= 0", myfault);
  return aid;
}

extended phasestep::excessterm(long e) {
  const bool aqspecies = ph.isaq && ph.em[e].td[TDSLOT::AQ] != 0;
  const farray<extended, 1, maxssem>& y = vanlaar ? w.phi : w.p;
  extended G = 0;
  for (long q = 1; q <= ph.nwpair; ++q) {
    const wpairtype& pr = ph.wpair[q];
    const long m = pr.wpar, j = pr.wj, l = pr.wk;
    const extended dj = (e == j ? 1 : 0) - y[j];
    const extended dl = (e == l ? 1 : 0) - y[l];
    const extended wraw = (w.wt[m] * T + w.w[m]) + w.wp[m] * P;
    extended wq = wraw;
    if (vanlaar) {
      wq = wraw * 2 * w.alpha[e] / (w.alpha[j] + w.alpha[l]);
      if (aqspecies && j == 1 && l == e)
        G = G - (dl * dj + 1) * wq;
      else
        G = G - dl * dj * wq;
    } else {
      G = G - dl * dj * wq;
      if (aqspecies && j == 1 && l == e) IO::ERROREXIT("calca", "symmetric aq??", myfault);
    }
    w.wstar[q] = wq;
    w.dj[q] = dj;
    w.dl[q] = dl;
  }
  return std::exp(G / (CONST::RGAS * T));
}

void phasestep::xderivatives(long e, long g, dRTlnadxtype& drtlnadx) const {
  const extended R = CONST::RGAS;
  const emtype& em = ph.em[e];
  const fmatrix<extended, 1, maxssem, 1, maxssem>& dy = vanlaar ? w.dphi : w.dp;
  for (long v = 1; v <= nv; ++v) {
    extended s = 0;
    for (long f = 1; f <= em.nsfterm; ++f) {
      const sftermtype& ft = em.sfterm[f];
      const extended expo = static_cast<extended>(static_cast<double>(ft.powern) / static_cast<double>(ft.powerd));
      s = s + expo * w.dsf(ft.sfindex, v) / w.sf[ft.sfindex];
    }
    extended tx = 0;
    if (!ideal)
      for (long q = 1; q <= ph.nwpair; ++q) {
        const wpairtype& pr = ph.wpair[q];
        const extended inner = pr.wj == e || pr.wk == e ? w.dl[q] * dy(pr.wj, v) + w.dj[q] * dy(pr.wk, v)
                                                        : w.outside(v, q);
        tx = tx + w.wstar[q] * inner;
      }
    const long c = offset + v - 1;
    drtlnadx(g, c) = ideal ? R * T * s : R * T * s + tx;
  }
}

void phasestep::ptderivatives(long e, long g, emvector& drtlnadp, emvector& drtlnadt) const {
  // At fixed x the ideal-mixing activity depends on neither P nor T.
  extended dT = CONST::RGAS * std::log(su.ideal[e]);
  extended dP = 0;
  if (ph.model == axtype::symmetric) {
    for (long q = 1; q <= ph.nwpair; ++q) {
      const long m = ph.wpair[q].wpar;
      if (w.wt[m] != 0) dT = dT - w.dl[q] * w.dj[q] * w.wt[m];
      if (w.wp[m] != 0) dP = dP - w.dl[q] * w.dj[q] * w.wp[m];
    }
  } else if (vanlaar) {
    const bool aqspecies = ph.isaq && ph.em[e].td[TDSLOT::AQ] != 0;
    for (long q = 1; q <= ph.nwpair; ++q) {
      const wpairtype& pr = ph.wpair[q];
      const long m = pr.wpar, j = pr.wj, l = pr.wk;
      const extended wq = w.wstar[q], dj = w.dj[q], dl = w.dl[q];
      dT = dT + wq * (w.dphit[l] * dj + w.dphit[j] * dl);
      dP = dP + wq * (w.dphip[l] * dj + w.dphip[j] * dl);
      const extended asum = w.alpha[j] + w.alpha[l];
      const extended wqt = wq * (w.at[e] / w.alpha[e] - (w.at[j] + w.at[l]) / asum) + 2 * w.wt[m] * w.alpha[e] / asum;
      const extended wqp = wq * (w.ap[e] / w.alpha[e] - (w.ap[j] + w.ap[l]) / asum) + 2 * w.wp[m] * w.alpha[e] / asum;
      if (aqspecies && j == 1 && l == e) {
        dT = dT - wqt * (dj * dl + 1);
        dP = dP - wqp * (dj * dl + 1);
      } else {
        dT = dT - wqt * dj * dl;
        dP = dP - wqp * dj * dl;
      }
    }
  }
  drtlnadt[g] = dT;
  drtlnadp[g] = dP;
}

}  // namespace

void CALCA(const eqvector& x, bool ptderivs, bool xderivs, emvector& drtlnadp, emvector& drtlnadt,
           dRTlnadxtype& drtlnadx, extended p, extended t) {
  // Only the solution phases' end-members are reset: the others keep the
  // activity the run loop gave them, a pure phase's fixed activity, which
  // the equations must see as the printed G does.
  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    for (long e = 0; e < (*PREC1)[EM2SS[i]].nprop; ++e) {
      ACTIVITY[i + e] = 1;
      SDACTIVITY[i + e] = 0;
    }
  }
  // Every entry a call reads it has written first, so the record is kept
  // rather than cleared at each call.
  static phasework w;
  long k = 0;
  for (long i = 1; i <= NCV; ++i) {
    if (!STARTSS[i]) continue;
    const ptype1& ph = (*PREC1)[EM2SS[i]];
    ++k;
    phasestep step{ph, x, EM2X[i], ph.nprop, ph.nprop - 1, p, t, ptderivs, xderivs,
                   ph.model == axtype::ideal, ph.model == axtype::vanlaar, SU.ph[k], w};
    step.sitefractions();
    if (step.vanlaar && !step.vanlaarsums(i)) continue;
    if (xderivs && !step.ideal) step.outsidepairs();
    for (long e = 1; e <= step.n; ++e) {
      const long g = i + e - 1;
      const extended aid = step.idealactivity(e);
      const extended gamma = step.ideal ? 1 : step.excessterm(e);
      step.su.ideal[e] = aid;
      step.su.gamma[e] = gamma;
      step.su.activity[e] = step.ideal ? aid : gamma * aid;
      ACTIVITY[g] = step.su.activity[e];
      if (xderivs) step.xderivatives(e, g, drtlnadx);
      if (ptderivs) step.ptderivatives(e, g, drtlnadp, drtlnadt);
    }
  }
}

}  // namespace ZQCALC2
