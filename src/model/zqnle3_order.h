// The end-members of the phase tables in phase order, as the composition
// and thermodynamic set-up walk them: a solution phase's end-members in
// their order, phase by phase, then one per pure phase. Both kinds of record
// carry the same recipe fields; a reference points at them.
#pragma once

#include <vector>

#include "frame/zqglobal.h"

namespace ZQNLE3 {

struct emref {
  bool pure = false;
  smallint phase = 0;     // PREC1 number, or PREC0 number for a pure phase
  smallint em = 0;        // end-member number in its phase, 1 for a pure phase
  sstring* name = nullptr;       // the end-member's name (the phase name for a pure phase)
  sstring* lookup = nullptr;     // the data-set name it stands for when not made
  smallint* nmake = nullptr;
  smallint* makediv = nullptr;
  makestype* makename = nullptr;
  makeitype* makecoef = nullptr;
  makeatype* makeaction = nullptr;
  makeitype* makepos = nullptr;
  extended dqfa = 0, dqfb = 0, dqfc = 0;
  icvector* comp = nullptr;
  extended* formulasize = nullptr;
  tdvector* td = nullptr;
  emvector* covrow = nullptr;
};

// The make recipe, DQF, composition and data fields an end-member record and a
// pure phase record share, whichever of the two holds them.
template <typename rec>
inline void withmake(emref& r, rec& x) {
  r.nmake = &x.nmake;
  r.makediv = &x.makediv;
  r.makename = &x.makename;
  r.makecoef = &x.makecoef;
  r.makeaction = &x.makeaction;
  r.makepos = &x.makepos;
  r.dqfa = x.dqfa;
  r.dqfb = x.dqfb;
  r.dqfc = x.dqfc;
  r.comp = &x.comp;
  r.formulasize = &x.formulasize;
  r.td = &x.td;
  r.covrow = &x.covrow;
}

// Every end-member of the tables in phase order.
inline std::vector<emref> phaseorder() {
  std::vector<emref> list;
  for (long i = 1; i <= ZQGLOBAL::NPSS; ++i) {
    ptype1& p = (*ZQGLOBAL::PREC1)[i];
    for (long e = 1; e <= p.nprop; ++e) {
      emtype& m = p.em[e];
      emref r;
      r.phase = static_cast<smallint>(i);
      r.em = static_cast<smallint>(e);
      r.name = &m.name;
      r.lookup = &m.name;
      withmake(r, m);
      list.push_back(r);
    }
  }
  for (long i = 1; i <= ZQGLOBAL::NP0; ++i) {
    ptype0& p = (*ZQGLOBAL::PREC0)[i];
    emref r;
    r.pure = true;
    r.phase = static_cast<smallint>(i);
    r.em = 1;
    r.name = &p.name;
    r.lookup = &p.emname;
    withmake(r, p);
    list.push_back(r);
  }
  return list;
}

// Position of name in NAME[1..NCV], 0 when absent.
inline smallint nameposition(const sstring& name) {
  for (long i = 1; i <= ZQGLOBAL::NCV; ++i)
    if (ZQGLOBAL::NAME[i] == name) return static_cast<smallint>(i);
  return 0;
}

}  // namespace ZQNLE3
