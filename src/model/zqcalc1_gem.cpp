// The Gibbs energy of one data-set end-member at P and T: reading its row,
// the enthalpy and entropy, the heat capacity and the pressure term, and
// the order in which the terms are added.
#include <cmath>
#include <cstdint>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_model.h"
#include "model/zqcalc1.h"
#include "model/zqcalc1_gem.h"

using CONST::PR;
using CONST::TR;

namespace ZQCALC1 {

namespace {

constexpr extended negligibleS = 1e-8L;      // below this |S| the row is H alone
constexpr extended negligibleA = 1e-10L;     // below this thermal-pressure scale no dilatational term
constexpr extended pthmargin = 0.999L;       // a replaced thermal pressure leaves 1 + eb (Pr - Pth) this far from 0
constexpr int pressureexplicitcodes[] = {3, 4, 5};
constexpr smallint pressureexplicitdsmode = 7;

// An integer held as a real: nearest, ties to even, and a value no 16-bit
// integer can hold (or no number at all) kept out of range of every table.
smallint slotinteger(extended x) {
  if (x == 0) return 0;  // most slots: no rounding needed
  const extended r = std::nearbyint(x);
  if (!(r >= -32768 && r <= 32767)) return x > 0 ? 32767 : -32768;
  return static_cast<smallint>(r);
}

using slotrow = farray<extended, 1, maxtd>;

// The least-squares record as a row, the way that mode fills TD: its own
// equation code, the Cv coefficients of a pressure-explicit end-member in
// the heat-capacity slots, no aqueous or solute values, and the record's
// fluid proportion standing for x(CO2).
void recordasrow(const tdrec& r, slotrow& row) {
  using namespace TDSLOT;
  const bool cv = ZQGLOBAL::DSMODE == pressureexplicitdsmode &&
                  (r.eqtype == 3 || r.eqtype == 4 || r.eqtype == 5);
  row[H] = r.h;
  row[TDSLOT::S] = r.s;
  row[TDSLOT::V] = r.v;
  row[CPA] = cv ? r.cv1 : r.cpa;
  row[CPB] = cv ? r.cv2 : r.cpb;
  row[CPC] = cv ? 0 : r.cpc;
  row[CPD] = cv ? 0 : r.cpd;
  row[ALPHA0] = r.a0;
  row[TDSLOT::K0] = r.k0;
  row[KP] = r.k0p;
  row[KPP] = r.k0pp;
  row[THETA] = r.theta;
  row[DKDT] = r.dk0dt;
  row[TCRIT] = r.tcrit;
  row[SMAX] = r.smax;
  row[VMAX] = r.vmax;
  row[BWDH] = r.bwdh;
  row[BWDV] = r.bwdv;
  row[BWW] = r.bww;
  row[BWWV] = r.bwwv;
  row[BWN] = r.bwn;
  row[BWF] = r.bwfac;
  row[XCO2] = r.xmix;
  row[XH2O] = 1 - r.xmix;
  row[CODE] = r.eqtype;
}

template <class ROW>
void readrow(gemcontext& c, const ROW& row) {
  using namespace TDSLOT;
  c.code = slotinteger(row[CODE]);
  c.H = row[H];
  c.S = row[TDSLOT::S];
  c.V0 = row[TDSLOT::V];
  c.ca = row[CPA];
  c.cb = row[CPB];
  c.cc = row[CPC];
  c.cd = row[CPD];
  c.alpha0 = row[ALPHA0];
  if (c.oldset) {
    c.alpha1 = row[TDSLOT::K0];
    c.K0 = row[KPP];
    c.Kp = row[THETA];
  } else {
    c.K0 = row[TDSLOT::K0];
    c.Kp = row[KP];
    c.Kpp = row[KPP];
    c.theta = row[THETA];
    c.bwdh = row[BWDH];
    c.bwdv = row[BWDV];
    c.bww = row[BWW];
    c.bwwv = row[BWWV];
    c.bwn = slotinteger(row[BWN]);
    c.bwf = row[BWF];
  }
  c.dKdT = row[DKDT];
  c.tcrit = row[TCRIT];
  c.smax = row[SMAX];
  c.vmax = row[VMAX];
  c.aq = row[AQ];
  c.aq1 = row[AQ1];
  c.aq2 = row[AQ2];
  c.ionic = row[IONIC];
  c.xco2 = row[XCO2];
  c.xh2o = row[XH2O];
}

// The same value, bit for bit, sign of a zero included; a NaN matches
// nothing.
bool same(extended a, extended b) { return a == b && std::signbit(a) == std::signbit(b); }

// What GEM takes from a row alone, kept per row number and keyed on the
// values it comes from, so a row that changes (refinement, or a table
// refilled) gets its own values again; a key that matches gives the bits
// the evaluation itself would. Not run state: nothing a reset sets depends
// on what they hold.
constexpr int memorows = 512;  // entries, by row number modulo their count

struct einsteinrow {  // the Einstein model at the reference temperature
  bool valid = false;
  extended theta = 0;        // the key
  extended u0 = 0, xi0 = 0;  // theta/Tr and the Einstein function there
  extended eu0 = 0;          // exp(u0)
};
einsteinrow einsteinmemo[memorows];

struct taitrow {  // the Tait parameters of a solid or liquid at modulus k0
  bool valid = false;
  extended k0 = 0, Kp = 0, Kpp = 0;  // the key
  extended ea = 0, eb = 0, ec = 0;
  extended norm = 0;  // ea (1 + eb Pr)^-ec + 1 - ea
};
taitrow taitmemo[memorows];

const einsteinrow& referenceeinstein(smallint row, extended theta) {
  einsteinrow& m = einsteinmemo[static_cast<unsigned>(row) % memorows];
  if (m.valid && same(m.theta, theta)) return m;
  m.valid = true;
  m.theta = theta;
  m.u0 = theta / TR;
  m.xi0 = einstein(m.u0);
  m.eu0 = std::exp(m.u0);
  return m;
}

const taitrow& taitparameters(smallint row, extended k0, extended Kp, extended Kpp) {
  taitrow& m = taitmemo[static_cast<unsigned>(row) % memorows];
  if (m.valid && same(m.k0, k0) && same(m.Kp, Kp) && same(m.Kpp, Kpp)) return m;
  m.valid = true;
  m.k0 = k0;
  m.Kp = Kp;
  m.Kpp = Kpp;
  if (Kpp == 0) {
    m.ea = 1;
    m.eb = Kp / k0;
    m.ec = 1 / Kp;
  } else {
    m.ea = (1 + Kp) / (1 + Kp + Kpp * k0);
    m.eb = (Kp * Kp + Kp - Kpp * k0) / ((1 + Kp) * k0);
    m.ec = (1 + Kp + Kpp * k0) / (Kp * Kp + Kp - Kpp * k0);
  }
  if (std::fabs(m.ec) < SMALLRATE)
    m.norm = 1 + m.ea * std::expm1(-m.ec * std::log1p(m.eb * PR));
  else if (SMALLFORM(m.eb, m.ec - 1))
    m.norm = m.ea * std::exp(-m.ec * std::log1p(m.eb * PR)) + 1 - m.ea;
  else
    m.norm = m.ea * std::pow(1 + m.eb * PR, -m.ec) + 1 - m.ea;
  return m;
}

// A thermal pressure beyond what the Tait form takes: reported, and either
// replaced by the nearest it takes (the sections outside the diagram) or
// the run stops. Kept out of line, off the common path.
[[gnu::noinline, gnu::cold]] extended thermalpressureproblem(const gemcontext& c, extended pth, bool over) {
  const extended P = c.P, T = c.T, ea = c.ea, eb = c.eb, ec = c.ec;
  if (!over) return PR - pthmargin / eb;
  const sstring who(c.name);
  if (ZQGLOBAL::FROMOUTXY) {
    std::string line = "pth problem with " + who + " in outxy at";
    IO::ADDREAL(P, 2, true, 7, line);
    IO::WRITETERMINAL(line + ", " + IO::INT2STR(T - CONST::KELVIN) + "\n");
    pth = PR - pthmargin / eb;
  } else {
    std::string line;
    IO::ADDINT(ZQGLOBAL::GIXPW, 4, line);
    IO::ADDSTR(who, 6, line);
    IO::ADDREAL(P, 6, true, 12, line);
    IO::ADDINT(T - CONST::KELVIN, 10, line);
    IO::ADDREAL(pth, 6, true, 16, line);
    IO::ADDREAL(ea, 6, true, 12, line);
    IO::ADDREAL(eb, 6, true, 12, line);
    IO::ADDREAL(ec, 6, true, 12, line);
    IO::WRITETERMINAL(line + "\n");
    IO::ERROREXIT("gem", who + ": b Pth > 1, log(-ve)", yourfault);
  }
  return pth;
}

[[noreturn]] void impossible(const gemcontext& c) {
  IO::ERROREXIT("gem", std::string(c.name) + ": impossible equation-of-state parameters", yourfault);
}

}  // namespace

extended einstein(extended u) {
  const extended eu = std::exp(u);
  const extended d = eu - 1;
  return u * u * eu / (d * d);
}

smallint simpsonintervals(extended dT) {
  const extended r = std::nearbyint(dT / 20);
  smallint n;
  if (r > 140)
    n = 138;
  else if (!(r >= 3))
    n = 4;
  else
    n = static_cast<smallint>(r);
  if (n % 2 != 0) ++n;
  return n;
}

void gemread(gemcontext& c, smallint i, extended P, extended T) {
  using namespace ZQGLOBAL;
  c.row = i;
  c.P = P;
  c.T = T;
  c.calcmode = CALCMODE;
  c.oldset = WITHOLDSET;
  c.qvb = QVB;
  c.numerical = NUMERICAL;
  c.fluidtype = FLUIDTYPE;
  c.makecdhydrous = MAKECDHYDROUS;
  if (CALCMODE == calcmodetype::lsqdscalc) {
    slotrow row{"gem record row"};
    recordasrow(TDA[i], row);
    readrow(c, row);
    c.name = PHNAMES[i];
  } else {
    const tdmatrix& td = *TD;
    struct rowview {
      const tdmatrix& m;
      long i;
      extended operator[](long slot) const { return m(i, slot); }
    } row{td, i};
    readrow(c, row);
    c.name = NAME[i];
  }
  c.liquid = !c.name.empty() && c.name.back() == 'L';
  c.pressureexplicit = false;
  if (DSMODE == pressureexplicitdsmode)
    for (int code : pressureexplicitcodes) c.pressureexplicit = c.pressureexplicit || c.code == code;
  if (!c.pressureexplicit) return;

  const einsteinrow& ref = referenceeinstein(c.row, c.theta);
  c.u0 = ref.u0;
  c.xi0 = ref.xi0;
  c.eu0 = ref.eu0;
  c.A = c.alpha0 * c.K0 / c.xi0;
  c.Pth = c.thermalpressure(T);
  if (c.qvb) {
    const extended k = c.Kp;
    c.s[1] = 1;
    c.s[2] = (1 + k) / 2;
    c.s[3] = (POW(k, 2) + 2 * k + 2) / 6;
    c.s[4] = (POW(k, 3) + 3 * POW(k, 2) + 6 * k + 6) / 24;
    c.s[5] = (POW(k, 4) + 4 * POW(k, 3) + 12 * POW(k, 2) + 24 * k + 24) / 120;
    c.s[6] = (POW(k, 5) + 5 * POW(k, 4) + 20 * POW(k, 3) + 60 * POW(k, 2) + 120 * k + 120) / 720;
  } else {
    const extended k = c.Kp, kk = c.Kpp * c.K0;
    c.ea = (1 + k) / (1 + k + kk);
    c.eb = (k * k + k - kk) / ((1 + k) * c.K0);
    c.ec = (1 + k + kk) / (k * k + k - kk);
    const extended e = c.ec, ae = c.ea * c.ec;
    c.s[1] = 1;
    c.s[2] = (1 + e) / (2 * ae);
    c.s[3] = (1 + e) * (1 + 2 * e) / (6 * POW(ae, 2));
    c.s[4] = (1 + e) * (1 + 2 * e) * (1 + 3 * e) / (24 * POW(ae, 3));
    c.s[5] = (1 + e) * (1 + 2 * e) * (1 + 3 * e) * (1 + 4 * e) / (120 * POW(ae, 4));
    c.s[6] = (1 + e) * (1 + 2 * e) * (1 + 3 * e) * (1 + 4 * e) * (1 + 5 * e) / (720 * POW(ae, 5));
  }
}

extended gemcontext::thermalpressure(extended t) const {
  return A * theta * (1 / (std::exp(theta / t) - 1) - 1 / (eu0 - 1));
}

void gemcontext::checktait() const {
  if (!std::isfinite(ea) || !std::isfinite(eb) || !std::isfinite(ec) || eb == 0 || ec == 1) impossible(*this);
}

extended gemcontext::pressureterm() {
  if (V0 == 0) return 0;
  if (pressureexplicit) {
    if (P == PR) return 0;
    if (!qvb) checktait();
    if (stiff()) return stiffpressureterm();
    const extended y1 = CALCV(P, T);
    const extended y2 = CALCV(PR, T);
    if (qvb) {
      const extended d1 = delei(y1 - 1);
      const extended d2 = delei(y2 - 1);
      return V0 * ((std::exp((1 - y1) * Kp) - std::exp((1 - y2) * Kp)) * K0 / Kp + (P - PR) * y1 -
                   Pth * std::log(y1 / y2) + K0 * y1 * d1 - K0 * y2 * d2);
    }
    const extended e = 1 - 1 / ec;
    return V0 * ((std::pow((y1 - 1) / ea + 1, e) - std::pow((y2 - 1) / ea + 1, e)) * ec * ea / ((1 - ec) * eb) +
                 (P - PR) * y1 - Pth * std::log(y1 / y2) + (y1 - y2) / eb);
  }
  if (K0 == 0) return (P - PR) * V0;
  if (oldset) {
    const extended kt = K0 + (T - TR) * dKdT;
    if (Kp == 1 || !(kt > 0)) impossible(*this);
    const extended vt = V0 * (1 + alpha0 * ((T - TR) - 2 * alpha1 * (std::sqrt(T) - std::sqrt(TR))));
    // K' = 0 is the solid of constant modulus, the form's limit.
    if (Kp == 0) return -vt * kt * std::expm1(-(P - PR) / kt);
    const extended e = 1 - 1 / Kp;
    const extended k = Kp / kt;
    if (SMALLFORM(k, e))
      return (P - PR) * POWDIFF(k * PR, k * (P - PR), e) * vt * std::exp(std::log1p(k * PR) / Kp);
    const extended br = 1 + Kp * PR / kt;
    return (std::pow(1 + Kp * P / kt, e) - std::pow(br, e)) * vt * std::pow(br, 1 / Kp) * kt / (Kp - 1);
  }

  // Tait: a liquid's modulus falls with T and it has no thermal pressure.
  extended k0 = K0;
  if (liquid) {
    k0 = K0 + (T - TR) * dKdT;
    if (!(k0 > 0)) impossible(*this);
  }
  const taitrow& inv = taitparameters(row, k0, Kp, Kpp);
  ea = inv.ea;
  eb = inv.eb;
  ec = inv.ec;
  checktait();
  const extended e = 1 - ec;
  const extended norm = inv.norm;
  // The integral of 1 - ea + ea (1 + eb (p - pth))^-ec from Pr to P. A
  // power within a hair of 0 comes with an ea past reach (their product
  // stays): ea (1 - POWDIFF) is then taken whole, as ea ec times the gap.
  const bool small = SMALLFORM(eb, e);
  const bool flat = std::fabs(ec) < SMALLRATE;
  auto integral = [&](extended pth) {
    if (flat) return (P - PR) * (1 - ea * ec * POWDIFFGAP(eb * (P - pth), eb * (PR - P), ec));
    if (small) return ea * (P - PR) * POWDIFF(eb * (P - pth), eb * (PR - P), e) + (1 - ea) * (P - PR);
    return ea * (std::pow(1 + eb * (PR - pth), e) - std::pow(1 + eb * (P - pth), e)) / ((ec - 1) * eb) +
           (1 - ea) * (P - PR);
  };
  if (liquid) return V0 * std::exp(alpha0 * (T - TR)) * integral(0) / norm;
  const einsteinrow& ref = referenceeinstein(row, theta);
  u0 = ref.u0;
  xi0 = ref.xi0;
  eu0 = ref.eu0;
  extended pth = k0 * alpha0 * theta / xi0 * (1 / (std::exp(theta / T) - 1) - 1 / (eu0 - 1));
  if (!std::isfinite(pth)) impossible(*this);
  // Past the form's reach the thermal pressure is replaced (or the run
  // stops); a stepped state of a base that was replaced keeps the
  // replacement, though its own thermal pressure would be in reach.
  const bool over = eb * pth > 1;
  if (HOLDCHOICE(choicekind::thermalcap, over ? 1 : 0) == 1 || over) pth = thermalpressureproblem(*this, pth, over);
  return V0 * integral(pth) / norm;
}

extended gemcontext::stiffpressureterm() {
  // The closed form with y - 1 solved for itself, and its differences of
  // exponentials and powers taken whole.
  const extended z1 = CALCZ(P, T), z2 = CALCZ(PR, T);
  const extended y1 = 1 + z1, y2 = 1 + z2, dz = z1 - z2;
  const extended lnratio = std::log1p(dz / y2);
  if (qvb) {
    int n1 = 0, n2 = 0;
    const extended d1 = delei(z1, n1);
    const extended d2 = delei(z2, n2);
    // K' = 0 is the solid of constant modulus, the form's limit.
    const extended expdiff = Kp == 0 ? -dz * K0 : std::exp(-z2 * Kp) * std::expm1(-dz * Kp) * K0 / Kp;
    // K0 times the difference of y D: the two differ by about (P - Pr)/K0.
    const extended ydiff = n1 == deleifraction || n2 == deleifraction ? y1 * d1 - y2 * d2
                                                                      : deleiydifference(z1, z2, Kp, n1, n2);
    return V0 * (expdiff + (P - PR) * y1 - Pth * lnratio + K0 * ydiff);
  }
  // A power within a hair of 1 leaves 1 - POWDIFF no digits and dz/eb
  // beyond reach: their product is dz ea K0 times the gap.
  const extended t = 1 / ec;
  const extended gap = std::fabs(t) < SMALLRATE ? dz * ea * K0 * POWDIFFGAP(z2 / ea, dz / ea, t)
                                                 : dz / eb * (1 - POWDIFF(z2 / ea, dz / ea, 1 - t));
  return V0 * (gap + (P - PR) * y1 - Pth * lnratio);
}

extended gemcontext::heatcapacityterm() {
  if (!pressureexplicit) {
    const extended sT = std::sqrt(T), sTr = std::sqrt(TR);
    const extended dH = ca * (T - TR) + cb * (T * T - CONST::TR2) / 2 - cc * (1 / T - CONST::TRINV) + 2 * cd * (sT - sTr);
    const extended dS = ca * std::log(T / TR) + cb * (T - TR) - cc * (1 / (T * T) - CONST::TRINV2) / 2 -
                        2 * cd * (1 / sT - 1 / sTr);
    return dH - T * dS;
  }
  const extended u = theta / T;
  const extended eu = std::exp(u);
  const extended dH = ca * theta * (1 / (eu - 1) - 1 / (eu0 - 1)) + cb * (T * T - CONST::TR2) / 2;
  const extended dS =
      ca * (u * eu / (eu - 1) - u0 * eu0 / (eu0 - 1) - std::log((eu - 1) / (eu0 - 1))) + cb * (T - TR);
  if (std::fabs(A) < negligibleA) return dH - T * dS;
  if (!numerical) return CALCICP(T) + (dH - T * dS);
  return (dH - T * dS) + simpson();
}

extended gemcontext::simpson() {
  if (!qvb) checktait();
  const smallint n = HOLDCHOICE(choicekind::simpsoncount, simpsonintervals(T - TR));
  const extended h = (T - TR) / n;
  // The ordinates: every one is written before it is read, so the table is
  // kept between calls rather than cleared.
  static farray<extended, 1, maxsimpson> f{"gem simpson ordinates"};
  for (smallint k = 1; k <= n + 1; ++k) {
    const extended tk = TR + (k - 1) * h;
    // A stiff form's P(y) keeps its digits only in y - 1.
    const extended yk = stiff() ? 1 + CALCZ(PR, tk) : CALCV(PR, tk);
    const extended uk = theta / tk;
    const extended xik = einstein(uk);
    const extended pthk = A * theta * (1 / (std::exp(uk) - 1) - 1 / (eu0 - 1));
    const extended dk = qvb ? std::exp((1 - yk) * Kp) * K0 * yk + pthk
                            : std::pow((yk - 1) / ea + 1, -1 / ec - 1) * yk * yk * K0 + pthk;
    const extended xa = xik * A;
    f[k] = (1 - T / tk) * tk * V0 * (xa * xa) / dk;
  }
  extended odd = 0, even = 0;
  for (smallint k = 3; k <= n - 1; k += 2) odd += f[k];
  for (smallint k = 2; k <= n; k += 2) even += f[k];
  return h / 3 * (f[1] + f[n + 1] + 2 * odd + 4 * even);
}

void GEM(smallint i, extended P, extended T, extended& G) {
  // A long run can pass the 32-bit count: let it wrap rather than overflow.
  IO::NGEM = static_cast<longint>(static_cast<std::uint32_t>(IO::NGEM) + 1u);
  gemcontext c;
  gemread(c, i, P, T);
  // An ln a variable carried in the entropy slot has no say in whether the
  // row is H alone: the row's own entropy decides, and R T ln a is added.
  extended own = c.S, term = 0;
  const bool carried = c.calcmode != calcmodetype::lsqdscalc && ZQGLOBAL::LNACARRIED(i, c.S, own, term);
  if (std::fabs(own) < negligibleS) {
    G = carried ? c.H + T * term : c.H;
    return;
  }
  const extended GV = c.pressureterm();
  const extended Gcp = c.heatcapacityterm();
  extended Gf = 0, Gmix = 0, Gord = 0, Ghyd = 0, Gaq = 0;
  GEMTERMS(c, Gf, Gmix, Gord, Ghyd, Gaq);
  G = (((((((c.H - T * c.S) + Gcp) + GV) + Gf) + Gmix) + Gord) + Ghyd) + Gaq;
  // A term that overflows at this P and T must not pass on as a result.
  if (!std::isfinite(G))
    IO::ERROREXIT("gem", std::string(c.name) + ": Gibbs energy is not a number at this P and T", yourfault);
}

}  // namespace ZQCALC1
