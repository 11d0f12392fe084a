// The pseudo end-member of ln a and mu diagrams: the calculation's last
// end-member carries the diagram variable in its thermodynamic row, so every
// Gibbs-energy sum sees it without knowing about diagrams.
#pragma once

#include "frame/constants.h"
#include "frame/zqglobal.h"

namespace ZQCALC2 {

// Its entropy slot becomes KEEPLNAS[1] - c v: -T times it adds R T ln a, or
// R ln 10 T log a when the script says the variable is a log10 a.
inline void SETLNAPSEUDO(extended v) {
  const extended c = ZQGLOBAL::CONTROLJX.setloga == yes ? CONST::RLN10 : CONST::RGAS;
  ZQGLOBAL::CARRYLNA(1, ZQGLOBAL::NCV, c * v);
}

// Its enthalpy slot holds the chemical potential itself.
inline void SETMUPSEUDO(extended v) { (*ZQGLOBAL::TD)(ZQGLOBAL::NCV, TDSLOT::H) = v; }

}  // namespace ZQCALC2
