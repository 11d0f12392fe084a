// The hand-laid assemblage of the model tests: its tables, phase records,
// end-member rows, layout of the unknowns, and the enthalpies that make a
// chosen point solve.
#include "assemblage_testsupport.h"

#include <cctype>
#include <numeric>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqute1.h"
#include "iotestsupport.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace assemblage {

namespace {

// ---------------------------------------------------------------- expressions

// A linear form cn/cd + sum (an/ad) y[v] as one term of one factor; the
// coefficients are integers or decimals with at most four places.
xtermtype linearform(const std::string& text, const std::vector<std::string>& vars) {
  xtermtype f;
  f.cn = 0;
  f.cd = 1;
  std::size_t i = 0;
  auto fail = [&](const std::string& why) {
    throw std::invalid_argument("expression \"" + text + "\": " + why + " at " + std::to_string(i));
  };
  auto blanks = [&] {
    while (i < text.size() && text[i] == ' ') ++i;
  };
  for (bool first = true;; first = false) {
    blanks();
    if (i == text.size()) break;
    int sign = 1;
    if (text[i] == '-' || text[i] == '+') {
      sign = text[i++] == '-' ? -1 : 1;
    } else if (!first) {
      fail("+ or - expected");
    }
    blanks();
    const std::size_t b = i;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) ++i;
    // A decimal with up to four places as an exact fraction.
    smallint n = 1, d = 1;
    if (i > b) {
      const long double v = std::stold(text.substr(b, i - b));
      d = 10000;
      n = static_cast<smallint>(std::lround(v * d));
      const long g = std::gcd(static_cast<long>(n), static_cast<long>(d));
      n = static_cast<smallint>(n / g);
      d = static_cast<smallint>(d / g);
    }
    blanks();
    if (i < text.size() && text[i] == '*') ++i;
    blanks();
    // The longest variable name that starts here.
    std::size_t len = 0;
    smallint v = 0;
    for (std::size_t k = 0; k < vars.size(); ++k)
      if (vars[k].size() > len && text.compare(i, vars[k].size(), vars[k]) == 0) {
        len = vars[k].size();
        v = static_cast<smallint>(k + 1);
      }
    if (v == 0) {
      if (i == b) fail("number or variable expected");
      f.cn = static_cast<smallint>(sign * n);
      f.cd = d;
      continue;
    }
    i += len;
    ++f.m;
    f.an[f.m] = static_cast<smallint>(sign * n);
    f.ad[f.m] = d;
    f.v[f.m] = v;
  }
  return f;
}

// ---------------------------------------------------------------- layout

extended sizeof_(const icvector& comp) {
  extended n = 0;
  for (long k = 1; k <= NUV; ++k)
    if (BCOMPS[k]) n = n + static_cast<extended>(comp[k]) * ICOMP[k] / COMPDIV[k];
  return n;
}

void fillrow(const endmember& em, tdvector& td) {
  td.fill(0);
  td[TDSLOT::H] = em.H;
  td[TDSLOT::S] = em.S;
  td[TDSLOT::V] = em.V;
  for (const auto& [slot, value] : em.slots) td[slot] = value;
}

// The end-member at position k of the calculation.
void placeendmember(long k, const endmember& em, const tdvector& td, const icvector& comp) {
  NAME[k] = em.name;
  for (long i = 1; i <= NUV; ++i) (*C)(i, k) = comp[i];
  for (long slot = 1; slot <= maxtd; ++slot) (*TD)(k, slot) = td[slot];
  NSITE[k] = em.nsite;
}

std::unique_ptr<dRTlnadxtype> dx;

}  // namespace

termtype expr(const std::string& text, const std::vector<std::string>& vars) {
  termtype t;
  t.nterms = 1;
  t.terms[1].coef = 1;
  t.terms[1].nfactors = 1;
  t.terms[1].factors[1] = linearform(text, vars);
  return t;
}

endmember row(const std::string& name, std::vector<int> comp, extended H, extended S, extended V) {
  endmember e;
  e.name = name;
  e.comp = std::move(comp);
  e.H = H;
  e.S = S;
  e.V = V;
  return e;
}

solution onesite(const std::string& name, axtype model, const std::vector<std::string>& vars,
                 const std::vector<std::string>& props, std::vector<endmember> ems) {
  solution s;
  s.name = name;
  s.model = model;
  for (const std::string& v : vars) s.vars.push_back({v});
  s.ems = std::move(ems);
  for (std::size_t m = 0; m < s.ems.size(); ++m) {
    s.sites.push_back({"s" + std::to_string(m + 1), props[m]});
    s.ems[m].prop = props[m];
    s.ems[m].ideal = {{static_cast<int>(m + 1), 1, 1}};
  }
  return s;
}

tables::tables() {
  testsupport::freshstate();
  ZQUTE1::SETUP();
  RESETSOLVER();
  NAME.fill("");
  ACTIVITY.fill(1);
  SDACTIVITY.fill(0);
  NR = 0;
  DOGMIN = false;
  DOGLEVEL = 0;
  DEBUGLEVEL = 1;
  MODESBYNLE = true;
  CONTROLJX = controljxtype{};
  FLUIDTYPE = ftype::notset;
  NLNA = 0;
  USESP = true;
  DSMODE = 6;
  WITHOLDSET = false;
}

tables::~tables() {
  ZQUTE1::CLEANUP();
  RESETSOLVER();
  testsupport::freshstate();
}

namespace {

icvector composition(const endmember& em) {
  icvector comp{"layout comp"};
  for (std::size_t i = 0; i < em.comp.size(); ++i) comp[static_cast<long>(i + 1)] = static_cast<smallint>(em.comp[i]);
  return comp;
}

// Solution phase p + 1: its record, its end-members from k + 1 on and its
// unknowns from nx + 1 on; k and nx come back raised.
void layoutsolution(const solution& so, std::size_t p, long& k, long& nx) {
  ptype1& ph = (*PREC1)[static_cast<long>(p + 1)];
  ph = ptype1{};
  std::vector<std::string> vnames;
  for (const variable& v : so.vars) vnames.push_back(v.name);
  ph.name = so.name;
  ph.nprop = static_cast<smallint>(so.ems.size());
  ph.nvar = static_cast<smallint>(so.vars.size());
  ph.model = so.model;
  ph.isfluid = so.name.rfind("fluid", 0) == 0;
  ph.isaq = !ph.isfluid && so.name.rfind("aq", 0) == 0;
  ph.modeset = so.modefixed;
  ph.nsf = static_cast<smallint>(so.sites.size());
  for (long f = 1; f <= ph.nsf; ++f) {
    ph.sfname[f] = so.sites[static_cast<std::size_t>(f - 1)].first;
    ph.sf[f] = expr(so.sites[static_cast<std::size_t>(f - 1)].second, vnames);
  }
  STARTSS[k + 1] = true;
  EM2SS[k + 1] = static_cast<smallint>(p + 1);
  EM2X[k + 1] = static_cast<smallint>(nx + 1);
  for (long m = 1; m <= ph.nprop; ++m) {
    const endmember& e = so.ems[static_cast<std::size_t>(m - 1)];
    emtype& em = ph.em[m];
    em.name = e.name;
    em.norm = e.norm;
    em.nsfterm = static_cast<smallint>(e.ideal.size());
    for (long f = 1; f <= em.nsfterm; ++f) {
      const auto& t = e.ideal[static_cast<std::size_t>(f - 1)];
      em.sfterm[f] = sftermtype{static_cast<smallint>(t[0]), static_cast<smallint>(t[1]), static_cast<smallint>(t[2])};
    }
    em.comp = composition(e);
    em.formulasize = sizeof_(em.comp);
    em.nsite = e.nsite;
    em.fluidcode = e.fluidcode;
    fillrow(e, em.td);
    ph.prop[m] = expr(e.prop, vnames);
    ph.alphaa[m] = e.alpha;
    if (e.name == "H2O") ph.h2opos = static_cast<smallint>(m);
    if (e.name == "CO2") ph.co2pos = static_cast<smallint>(m);
    placeendmember(++k, e, em.td, em.comp);
  }
  // A fluid phase without pairs gets every pair j < l in order, as the
  // a-x reader builds them; their energies come from the volumes.
  std::vector<interaction> ws = so.ws;
  if (ph.isfluid && ws.empty())
    for (int j = 1; j < ph.nprop; ++j)
      for (int l = j + 1; l <= ph.nprop; ++l) ws.push_back({j, l});
  ph.nw = ph.nwpair = static_cast<smallint>(ws.size());
  for (long q = 1; q <= ph.nw; ++q) {
    const interaction& w = ws[static_cast<std::size_t>(q - 1)];
    ph.wpair[q] = wpairtype{static_cast<smallint>(q), static_cast<smallint>(w.j), static_cast<smallint>(w.l)};
    ph.wa[q] = w.w;
    ph.wb[q] = w.wt;
    ph.wc[q] = w.wp;
  }
  for (long v = 1; v <= ph.nvar; ++v) {
    const variable& var = so.vars[static_cast<std::size_t>(v - 1)];
    xvartype& xv = ph.xvar[v];
    xv.name = var.name;
    xv.low = var.low;
    xv.high = var.high;
    xv.isset = var.fixed;
    ++nx;
    XNAME[nx] = var.name;
    XFACA[nx] = 1 / (var.high - var.low);
    XFACB[nx] = -var.low * XFACA[nx];
    TYPX[nx] = 1;
    INACC1[nx] = var.lowkind;
    INACC2[nx] = var.highkind;
    BX[nx] = !var.fixed;
  }
}

// The modes' unknowns after the nx compositional ones: solution phases,
// then pure phases.
void layoutmodes(const system& s, long nx) {
  long j = 0;
  for (std::size_t p = 0; p < s.solutions.size(); ++p) {
    ++j;
    MP2SS[j] = static_cast<smallint>(p + 1);
    long first = 0;
    for (long i = 1; i <= NCV; ++i)
      if (STARTSS[i] && EM2SS[i] == static_cast<smallint>(p + 1)) first = i;
    MP2X[j] = EM2X[first];
    XNAME[nx + j] = s.solutions[p].name;
    BX[nx + j] = !s.solutions[p].modefixed;
  }
  NXPSS = static_cast<smallint>(j);
  for (std::size_t p = 0; p < s.pures.size(); ++p) {
    ++j;
    MP2SS[j] = static_cast<smallint>(p + 1);
    MP2X[j] = 0;
    XNAME[nx + j] = s.pures[p].em.name;
    BX[nx + j] = !s.pures[p].modefixed;
  }
  NXP = static_cast<smallint>(j);
  for (long q = 1; q <= NXP; ++q) {
    XFACA[nx + q] = 1 / s.modehigh;
    XFACB[nx + q] = 0;
    TYPX[nx + q] = 0.0001L;
    INACC1[nx + q] = INACC2[nx + q] = acctype::paccessible;
  }
}

}  // namespace

void layout(const system& s) {
  RESETSOLVER();
  C->fill(0);
  TD->fill(0);
  NAME.fill("");
  NSITE.fill(1);
  ACTIVITY.fill(1);
  NUV = static_cast<smallint>(s.components.size());
  NU = NUV;
  NUVLEFT = 0;
  for (long k = 1; k <= NUV; ++k) {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    COMPNAME[k] = s.components[i];
    COMPDIV[k] = i < s.compdiv.size() ? s.compdiv[i] : 1;
    ICOMP[k] = i < s.icomp.size() ? s.icomp[i] : 1;
    BCOMPS[k] = i < s.free.size() ? static_cast<bool>(s.free[i]) : true;
    if (BCOMPS[k]) ++NUVLEFT;
  }

  XNAME[1] = "P(kbar)";
  XNAME[2] = std::string("T(") + macroman::degree + "C)";
  XFACA[1] = 1 / (s.phigh - s.plow);
  XFACB[1] = -s.plow * XFACA[1];
  XFACA[2] = 1 / (s.thigh - s.tlow);
  XFACB[2] = -s.tlow * XFACA[2];
  TYPX[1] = TYPX[2] = 1;
  INACC1[1] = INACC2[1] = INACC1[2] = INACC2[2] = acctype::windowlimit;
  BX[1] = s.pfree;
  BX[2] = s.tfree;

  long k = 0, nx = 2;
  NPSS = static_cast<smallint>(s.solutions.size());
  for (std::size_t p = 0; p < s.solutions.size(); ++p) layoutsolution(s.solutions[p], p, k, nx);
  NP0 = static_cast<smallint>(s.pures.size());
  for (std::size_t p = 0; p < s.pures.size(); ++p) {
    ptype0& ph = (*PREC0)[static_cast<long>(p + 1)];
    ph = ptype0{};
    const endmember& e = s.pures[p].em;
    ph.name = ph.emname = e.name;
    ph.comp = composition(e);
    ph.formulasize = sizeof_(ph.comp);
    ph.modeset = s.pures[p].modefixed;
    fillrow(e, ph.td);
    placeendmember(++k, e, ph.td, ph.comp);
  }
  NCV = NNE = static_cast<smallint>(k);
  NX = static_cast<smallint>(nx);

  NXP = NXPSS = 0;
  if (s.modes) layoutmodes(s, nx);
  MODESBYNLE = s.modes;
  PHI = 1;

  PROJC.fill(0);
  for (long i = 1; i <= NUVLEFT; ++i)
    for (long c = 1; c <= NUVLEFT; ++c)
      PROJC(i, c) = s.projc.empty() ? (i == c ? 1 : 0)
                                    : s.projc[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(c - 1)];
  RANKDEFICIT = s.rankdeficit;

  SU.nph = 0;
  for (std::size_t p = 0; p < s.solutions.size() + s.pures.size(); ++p) {
    suphasetype& r = SU.ph[static_cast<long>(++SU.nph)];
    const bool sol = p < s.solutions.size();
    r.name = sol ? s.solutions[p].name : s.pures[p - s.solutions.size()].em.name;
    r.nem = sol ? static_cast<smallint>(s.solutions[p].ems.size()) : 1;
    r.hasmode = s.modes;
  }
  for (long v = 1; v <= maxeq; ++v) X[v] = 0;
}

extended physical(long v) { return BX[v] ? (X[v] - XFACB[v]) / XFACA[v] : X[v]; }

void setphysical(long v, extended u) { X[v] = BX[v] ? XFACA[v] * u + XFACB[v] : u; }

void setpoint(extended P, extended T, const std::vector<extended>& comps, const std::vector<extended>& modes) {
  setphysical(1, P);
  setphysical(2, T);
  for (std::size_t i = 0; i < comps.size(); ++i) setphysical(static_cast<long>(3 + i), comps[i]);
  for (std::size_t q = 0; q < modes.size(); ++q) setphysical(static_cast<long>(NX + 1 + q), modes[q]);
}

std::vector<extended> phasecomposition(long p) {
  eqvector x{"composition x"};
  for (long v = 1; v <= NX + NXP; ++v) x[v] = physical(v);
  std::vector<extended> comp;
  auto freeamount = [&](const icvector& c, long k) { return static_cast<extended>(c[k]) / COMPDIV[k]; };
  if (p <= NXPSS) {
    const ptype1& ph = (*PREC1)[MP2SS[p]];
    extended size = 0;
    std::vector<extended> q;
    for (long m = 1; m <= ph.nprop; ++m) {
      q.push_back(ZQUTE1::SUBSTERM(ph.prop[m], x, MP2X[p]));
      size += q.back() * ph.em[m].formulasize;
    }
    for (long k = 1; k <= NUV; ++k) {
      if (!BCOMPS[k]) continue;
      extended a = 0;
      for (long m = 1; m <= ph.nprop; ++m) a += freeamount(ph.em[m].comp, k) * q[static_cast<std::size_t>(m - 1)];
      comp.push_back(a / size);
    }
  } else {
    const ptype0& ph = (*PREC0)[MP2SS[p]];
    for (long k = 1; k <= NUV; ++k)
      if (BCOMPS[k]) comp.push_back(freeamount(ph.comp, k) / ph.formulasize);
  }
  return comp;
}

void solvable(const std::vector<extended>& lambda) {
  eqvector x{"solvable x"};
  for (long v = 1; v <= NX + NXP; ++v) x[v] = physical(v);
  const extended P = x[1], T = x[2];

  // The solvent slots as the equations set them, then the activities.
  ZQCALC2::nlefuncstate& st = ZQCALC2::NLEFUNCSTATE();
  st.x = x;
  st.HANDLEFLUID();
  if (!dx) dx = std::make_unique<dRTlnadxtype>();
  emvector dp{"solvable dp"}, dt{"solvable dt"};
  ZQCALC2::CALCA(x, false, false, dp, dt, *dx, P, T);

  // Enthalpy enters G with coefficient 1, so one correction sets mu.
  for (long j = 1; j <= NCV; ++j) {
    extended target = 0;
    for (long i = 1; i <= NUV; ++i) target += (*C)(i, j) * lambda[static_cast<std::size_t>(i - 1)];
    extended G = 0;
    ZQCALC1::GEMDRIVER(static_cast<smallint>(j), P, T, G);
    const extended mu = G + CONST::RGAS * T * std::log(ACTIVITY[j]);
    (*TD)(j, TDSLOT::H) += target - mu;
  }

  extended S = 0;
  for (long q = 1; q <= NXP; ++q) S += x[NX + q];
  COMPK.fill(0);
  for (long q = 1; q <= NXP; ++q) {
    const std::vector<extended> c = phasecomposition(q);
    for (std::size_t kk = 0; kk < c.size(); ++kk) COMPK[static_cast<long>(kk + 1)] += S * x[NX + q] * c[kk];
  }
}

}  // namespace assemblage
