// Thermodynamic rows and enthalpy covariance of the end-members in phase
// order, made end-members from their recipes.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqnle3.h"
#include "model/zqnle3_order.h"

using namespace ZQGLOBAL;

namespace ZQNLE3 {

namespace {

constexpr int firstcopyslot = maxem + 1;  // the dependent copies count down from below this
constexpr extended symmetrytolerance = 1e-5L;
// Q of a Landau constituent taken fully disordered at the reference state.
extended landauq(extended tcrit) { return std::sqrt(1 - CONST::TR / tcrit); }

// The state of one MAKEEMTD call, shared by its nested routines.
struct makeemtd {
  std::vector<emref> list;
  long ntotal = 0;
  std::vector<smallint> pos, made;
  std::vector<std::array<smallint, maxmake + 1>> mpos;
  std::vector<std::array<extended, maxmake + 1>> mcoef;
  std::vector<long> madek;           // phase-order position (0-based) of made end-member l (1-based l - 1)
  std::vector<smallint> madenmake;   // its constituents as read, before the combination may clear them
  long k = 0;                        // current end-member, 0-based
  long nextslot = firstcopyslot;
  farray<makeactiontype, 1, maxem> slotaction{"make slot actions"};
  // Rows written later from 1 up (the extraction of calc modes 2 and 3, the
  // order-parameter solve, a mu pseudo end-member) must stay below the
  // lowest copy.
  long lowestfree = 0;

  const extended& td(long row, int slot) const { return (*TD)(row, slot); }

  void FINDPOS() {
    ntotal = static_cast<long>(list.size());
    pos.assign(list.size(), 0);
    made.assign(list.size(), 0);
    std::array<smallint, maxmake + 1> zeros{};
    std::array<extended, maxmake + 1> ones{};
    ones.fill(1);
    mpos.assign(list.size(), zeros);
    mcoef.assign(list.size(), ones);
    for (long j = 0; j < ntotal; ++j) {
      emref& r = list[static_cast<std::size_t>(j)];
      if (*r.nmake > 0) {
        madek.push_back(j);
        madenmake.push_back(*r.nmake);
        made[static_cast<std::size_t>(j)] = static_cast<smallint>(madek.size());
        for (long m = 1; m <= *r.nmake; ++m) {
          mcoef[static_cast<std::size_t>(j)][static_cast<std::size_t>(m)] =
              static_cast<extended>((*r.makecoef)[m]) / static_cast<extended>(*r.makediv);
          const smallint at = nameposition((*r.makename)[m]);
          if (at == 0) IO::ERROREXIT("make emtd", (*r.makename)[m] + " not found", yourfault);
          mpos[static_cast<std::size_t>(j)][static_cast<std::size_t>(m)] = at;
        }
      } else {
        const smallint at = nameposition(*r.lookup);
        if (at == 0) IO::ERROREXIT("make emtd", *r.lookup + " not found", yourfault);
        pos[static_cast<std::size_t>(j)] = at;
      }
    }
  }

  extended coef(long j, long m) const { return mcoef[static_cast<std::size_t>(j)][static_cast<std::size_t>(m)]; }
  smallint at(long j, long m) const { return mpos[static_cast<std::size_t>(j)][static_cast<std::size_t>(m)]; }

  [[noreturn]] void domakefault(const emref& r, long m, const std::string& message) {
    IO::PUTSTR(1, "in the make for " + *r.name + ", problem with " + (*r.makename)[m], 1, CHANNEL::TERMSUMLOG);
    IO::ERROREXIT("domake", message, yourfault);
  }

  void DOMAKE(emref& r, extended a, extended b, extended c) {
    tdvector& t = *r.td;
    t[TDSLOT::CODE] = 0;
    t[TDSLOT::H] += a;
    t[TDSLOT::S] -= b;
    t[TDSLOT::V] += c;
    for (long m = 1; m <= *r.nmake; ++m) {
      const long row = at(k, m);
      makeactiontype& action = (*r.makeaction)[m];
      const extended tcrit = td(row, TDSLOT::TCRIT), smax = td(row, TDSLOT::SMAX), vmax = td(row, TDSLOT::VMAX);
      const bool od = tcrit > 0 || td(row, TDSLOT::BWDH) > 0;
      if (!od) {
        if (action != makeactiontype::notspecified) domakefault(r, m, "action specified for a non-od end-member");
        action = makeactiontype::notrelevant;
        continue;
      }
      const bool landau = smax > 0;
      const extended n = td(row, TDSLOT::BWN);
      const bool bw = !landau && n > 0;
      switch (action) {
        case makeactiontype::equilibrium:
        case makeactiontype::notrelevant:
          break;
        case makeactiontype::disordered:
          if (landau) {
            const extended q = landauq(tcrit);
            t[TDSLOT::H] += tcrit * smax * q * (1 - q * q / 3);
            t[TDSLOT::S] += smax * q;
            t[TDSLOT::V] += vmax * q;
            for (int s = TDSLOT::TCRIT; s <= TDSLOT::VMAX; ++s) t[s] = 0;
          } else if (bw) {
            const extended f = td(row, TDSLOT::BWF);
            const extended l = std::log(1 / (n + 1)) + n * std::log(n / (n + 1));
            t[TDSLOT::H] += td(row, TDSLOT::BWDH);
            t[TDSLOT::V] += td(row, TDSLOT::BWDV);
            if (f >= 0)
              t[TDSLOT::S] -= CONST::RGAS * f * l;
            else
              t[TDSLOT::S] -= ((1 / f - n) * CONST::RGAS * f * l) / (n + 1);
            for (int s = TDSLOT::BWDH; s <= TDSLOT::BWF; ++s) t[s] = 0;
          }
          break;
        case makeactiontype::ordered:
          if (landau) {
            const extended q = landauq(tcrit);
            t[TDSLOT::H] += smax * tcrit * (q * (1 - q * q / 3) - 2.0L / 3.0L);
            t[TDSLOT::S] += smax * (q - 1);
            t[TDSLOT::V] += vmax * (q - 1);
            for (int s = TDSLOT::TCRIT; s <= TDSLOT::VMAX; ++s) t[s] = 0;
          } else if (bw) {
            for (int s = TDSLOT::BWDH; s <= TDSLOT::BWF; ++s) t[s] = 0;
          }
          break;
        case makeactiontype::notspecified:
          domakefault(r, m, "action for od end-member not specified");
      }
    }
    // Dependent copies of the constituents at the top of NAME and TD, shared
    // by later recipes that take the same constituent the same way.
    const long firstslot = nextslot;
    std::vector<sstring> snapshot;
    for (long s = firstslot; s <= maxem; ++s) snapshot.push_back(NAME[s]);
    for (long m = 1; m <= *r.nmake; ++m) {
      const sstring& name = (*r.makename)[m];
      const makeactiontype action = (*r.makeaction)[m];
      long found = 0;
      for (std::size_t s = 0; s < snapshot.size() && found == 0; ++s)
        if (snapshot[s] == name) found = firstslot + static_cast<long>(s);
      if (found != 0 && slotaction[found] == action) {
        (*r.makepos)[m] = static_cast<smallint>(found);
        continue;
      }
      --nextslot;
      if (nextslot <= lowestfree) IO::ERROREXIT("finddep", "too many end-members", yourfault);
      (*r.makepos)[m] = static_cast<smallint>(nextslot);
      const smallint from = nameposition(name);
      if (from == 0) IO::ERROREXIT("finddep", "can't find \"" + name + "\"", yourfault);
      NAME[nextslot] = name;
      slotaction[nextslot] = action;
      for (int s = 1; s <= maxtd; ++s) (*TD)(nextslot, s) = 0;
      for (int s = 1; s <= TDSLOT::XH2O; ++s) (*TD)(nextslot, s) = td(from, s);
      (*TD)(nextslot, TDSLOT::CODE) = td(from, TDSLOT::CODE);
      if (action == makeactiontype::ordered || action == makeactiontype::disordered) {
        for (int s = TDSLOT::TCRIT; s <= TDSLOT::VMAX; ++s) (*TD)(nextslot, s) = 0;
        for (int s = TDSLOT::BWDH; s <= TDSLOT::BWF; ++s) (*TD)(nextslot, s) = 0;
      }
    }
  }

  void OLDMAKE(emref& r, extended a, extended b, extended c) {
    tdvector& t = *r.td;
    const long n = *r.nmake;
    t[TDSLOT::CODE] = td(at(k, 1), TDSLOT::CODE);
    for (int s = 1; s <= TDSLOT::CPD; ++s)
      for (long m = 1; m <= n; ++m) t[s] += coef(k, m) * td(at(k, m), s);
    t[TDSLOT::H] += a;
    t[TDSLOT::S] -= b;
    t[TDSLOT::V] += c;
    for (long m = 1; m <= n; ++m) {
      const long row = at(k, m);
      const extended smax = td(row, TDSLOT::SMAX);
      if (smax <= 0) continue;
      const extended tcrit = td(row, TDSLOT::TCRIT);
      const extended q = landauq(tcrit);
      t[TDSLOT::H] += (1 - q * q / 3) * smax * coef(k, m) * tcrit * q;
      t[TDSLOT::S] += smax * coef(k, m) * q;
      t[TDSLOT::V] += td(row, TDSLOT::VMAX) * coef(k, m) * q;
    }
    if (coef(k, n) == 0) IO::ERROREXIT("makeemtd", "coeff=0 no longer implemented", yourfault);
    const extended v = t[TDSLOT::V];
    extended va = 0, vk = 0;
    for (long m = 1; m <= n; ++m) {
      const long row = at(k, m);
      va += coef(k, m) * td(row, TDSLOT::V) * td(row, TDSLOT::ALPHA0);
      if (td(row, TDSLOT::KPP) != 0) vk += coef(k, m) * td(row, TDSLOT::V) / td(row, TDSLOT::KPP);
    }
    t[TDSLOT::ALPHA0] = v == 0 ? 0 : va / v;
    t[TDSLOT::K0] = 10;
    t[TDSLOT::KP] = 0;
    t[TDSLOT::KPP] = vk == 0 ? 0 : v / vk;
    t[TDSLOT::THETA] = td(at(k, 1), TDSLOT::THETA);
    t[TDSLOT::DKDT] = td(at(k, 1), TDSLOT::DKDT);
    for (int s = TDSLOT::TCRIT; s <= TDSLOT::VMAX; ++s) t[s] = 0;
    t[TDSLOT::AQ] = 0;
    for (long m = 1; m <= n; ++m) t[TDSLOT::AQ] += coef(k, m) * td(at(k, m), TDSLOT::AQ);
    for (int s = TDSLOT::BWDH; s <= TDSLOT::BWF; ++s) t[s] = 0;
  }

  // The older set takes a DQF on an end-member that is not made: it acts on
  // the copied data-set row as on the row of a made end-member of that one
  // constituent, so that its Gibbs energy is the made one's. A volume term
  // keeps the absolute expansion V alpha and compressibility V/K, as the
  // make keeps the sums of its constituents'.
  static void OLDDQF(tdvector& t, extended a, extended b, extended c) {
    if (a == 0 && b == 0 && c == 0) return;
    t[TDSLOT::H] += a;
    t[TDSLOT::S] -= b;
    if (c == 0) return;
    const extended v = t[TDSLOT::V], k = t[TDSLOT::KPP];
    const extended va = v * t[TDSLOT::ALPHA0];
    const extended vk = k != 0 ? v / k : 0;
    t[TDSLOT::V] += c;
    const extended vnew = t[TDSLOT::V];
    t[TDSLOT::ALPHA0] = vnew == 0 ? 0 : va / vnew;
    t[TDSLOT::KPP] = vk == 0 ? 0 : vnew / vk;
  }

  void LSQDSMAKE(emref& r) {
    if (*r.nmake != 1) IO::ERROREXIT("lsqdsmake", "od make not implemented yet", yourfault);
    const long row = at(k, 1);
    if (td(row, TDSLOT::SMAX) > 0 || td(row, TDSLOT::AQ) > 0 || td(row, TDSLOT::BWN) > 0)
      IO::ERROREXIT("makeemtd", "wrong type of end-member to make", yourfault);
    tdvector& t = *r.td;
    t[TDSLOT::CODE] = td(row, TDSLOT::CODE);
    const int scaled = td(row, TDSLOT::CODE) == 3 ? TDSLOT::CPB : TDSLOT::CPD;
    for (int s = 1; s <= scaled; ++s) t[s] = coef(k, 1) * td(row, s);
    for (int s = scaled + 1; s <= TDSLOT::DKDT; ++s) t[s] = td(row, s);
  }

  void CALCCOVROW(emvector& row, smallint nmake) {
    row[k + 1] = 0;
    for (long m = 1; m <= nmake; ++m)
      for (long n = 1; n <= nmake; ++n) row[k + 1] += coef(k, m) * (*COV)(at(k, m), at(k, n)) * coef(k, n);
    if (madek.size() > 1) {
      for (long k2 : madek) {
        if (k2 == k) continue;
        const long other = *list[static_cast<std::size_t>(k2)].nmake;
        extended sum = 0;
        for (long a = 1; a <= other; ++a)
          for (long n = 1; n <= nmake; ++n) sum += coef(k2, a) * (*COV)(at(k2, a), at(k, n)) * coef(k, n);
        row[k2 + 1] = sum;
      }
    }
    for (long x = 0; x < ntotal; ++x) {
      if (made[static_cast<std::size_t>(x)] != 0) continue;
      extended sum = 0;
      for (long n = 1; n <= nmake; ++n) sum += coef(k, n) * (*COV)(pos[static_cast<std::size_t>(x)], at(k, n));
      row[x + 1] = sum;
    }
  }

  void FINISHCOV() {
    if (!madek.empty()) {
      for (long j = 0; j < ntotal; ++j) {
        emref& r = list[static_cast<std::size_t>(j)];
        if (*r.nmake != 0) continue;
        for (long k2 : madek) (*r.covrow)[k2 + 1] = (*list[static_cast<std::size_t>(k2)].covrow)[j + 1];
      }
    }
    for (long j = 0; j < ntotal; ++j)
      for (long c = 1; c <= NCV; ++c) (*COV)(j + 1, c) = (*list[static_cast<std::size_t>(j)].covrow)[c];
    for (long a = 1; a <= ntotal; ++a)
      for (long b = a + 1; b <= ntotal; ++b)
        if (std::fabs((*COV)(a, b) - (*COV)(b, a)) > symmetrytolerance)
          IO::ERROREXIT("finishcov", "matrix not symmetric", myfault);
  }

  void run() {
    for (long i = 1; i <= PREC1->made(); ++i)
      for (long e = 1; e <= maxssem; ++e) cleartd((*PREC1)[i].em[e].td);
    for (long i = 1; i <= PREC0->made(); ++i) cleartd((*PREC0)[i].td);
    slotaction.fill(makeactiontype::equilibrium);
    nextslot = firstcopyslot;
    list = phaseorder();
    FINDPOS();
    // An extra row for the mu pseudo end-member of calc mode 3.
    lowestfree = std::max<long>(NCV, ntotal + 1);

    for (k = 0; k < ntotal; ++k) {
      emref& r = list[static_cast<std::size_t>(k)];
      tdvector& t = *r.td;
      if (*r.nmake == 0) {
        const long p = pos[static_cast<std::size_t>(k)];
        for (int s = 1; s <= maxtd; ++s) {
          const bool aqslot = s == TDSLOT::AQ1 || s == TDSLOT::AQ2;
          const bool makeslot = s == TDSLOT::MAKEPHASE || s == TDSLOT::MAKEEM;
          if (aqslot || (makeslot && !r.pure)) continue;
          t[s] = td(p, s);
        }
        if (WITHOLDSET) OLDDQF(t, r.dqfa, r.dqfb, r.dqfc);
        for (long x = 0; x < ntotal; ++x)
          if (pos[static_cast<std::size_t>(x)] != 0) (*r.covrow)[x + 1] = (*COV)(p, pos[static_cast<std::size_t>(x)]);
        continue;
      }
      const smallint nmake = *r.nmake;
      if (r.pure && CALCMODE == calcmodetype::lsqdscalc) IO::ERROREXIT("lsqds", "make not allowed", yourfault);
      if (CALCMODE == calcmodetype::lsqdscalc) {
        LSQDSMAKE(r);
      } else if (WITHOLDSET) {
        OLDMAKE(r, r.dqfa, r.dqfb, r.dqfc);
      } else if (nmake < 2 || td(at(k, 1), TDSLOT::AQ1) == 0 || td(at(k, 2), TDSLOT::AQ1) == 0) {
        DOMAKE(r, r.dqfa, r.dqfb, r.dqfc);
      } else {
        // Two charged constituents combine into an ordinary end-member, which
        // keeps the DQF its recipe carries as a made one would.
        *r.nmake = 0;
        for (int s = TDSLOT::H; s <= TDSLOT::CPD; ++s) t[s] = coef(k, 2) * td(at(k, 2), s) + coef(k, 1) * td(at(k, 1), s);
        t[TDSLOT::AQ] = coef(k, 2) * td(at(k, 2), TDSLOT::AQ) + coef(k, 1) * td(at(k, 1), TDSLOT::AQ);
        t[TDSLOT::H] += r.dqfa;
        t[TDSLOT::S] -= r.dqfb;
        t[TDSLOT::V] += r.dqfc;
      }
      CALCCOVROW(*r.covrow, nmake);
    }
    NCVDIFF = NCV;
    NCV = NNE = static_cast<smallint>(ntotal);
    LOWESTCOPYSLOT = static_cast<smallint>(nextslot);
    FINISHCOV();
    if (MAINLOOP == 1)
      for (long p = 1; p <= NPSS; ++p) WRITEAX(static_cast<smallint>(p));
  }

  static void cleartd(tdvector& t) {
    for (int s = 1; s <= maxtd; ++s)
      if (s != TDSLOT::AQ1 && s != TDSLOT::AQ2) t[s] = 0;
  }
};

}  // namespace

void MAKEEMTD() {
  // Some 30 kB of work state: on the heap, made once per call.
  auto state = std::make_unique<makeemtd>();
  state->run();
}

}  // namespace ZQNLE3
