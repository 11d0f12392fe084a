// Calc-mode-1 printers of the details file, the modes worked out after the
// solve by mass balance, and the projection onto a compatibility diagram.
#pragma once

#include <string>

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_phases.h"

namespace ZQNLE1 {

// The compact details-file block of the current point.
void PRINTIC();
// The sectioned details-file block of the current point ("ombrycalc").
void PRINTICOMBRY();

// Atoms per formula unit of each mode phase of ph: a over all components,
// b over the free ones; n the number of mode phases, entries past it 1.
void NORMCONST(const bemvector& ph, eqvector& a, eqvector& b, smallint& n);
// The modes of the assemblage ph by mass balance for every step of the bulk
// range, into the mode rows of SU with each step's status; ok when some
// step is seen; what the reaction text when one was formed, else "????".
void AFTER(const bemvector& ph, bool& ok, std::string& what, eqvector& a, eqvector& b);

// The phases of ph, and the seen bulk steps, projected onto the
// compatibility diagram of the projection plane; names and v the point's
// reaction, P (kbar) and T (K) its conditions.
void MAKEPROJECTION(const bemvector& ph, const IO::strings& names, const emvector& v, extended P, extended T);

}  // namespace ZQNLE1
