// Readers of the data set and the set-up of calc modes 2 and 3.
#pragma once

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQREAD1 {

// The data-set file, open from the first pass of READTHERMO to the end of
// the third.
extern IO::textfile PDATA;

// pass 1: header and names; pass 2: compositions and components of the
// end-members in NAME; any other value: their thermodynamic rows and
// enthalpy covariances, after which the file is closed.
void READTHERMO(smallint pass);

// Element formulas of NAME[1..NCV] (NOX, OXCODE, OXNO) to the components
// COMPNAME[1..NUV] and the integer composition matrix C with COMPDIV.
void MAKEOXIDES();

// The rock of a calc-mode-2 pass, and the phases of a calc-mode-3 pass.
void READROCKDATA();
void READDIAGRAMDATA();

// Raises each SDACTIVITY entry to the floor its activity allows.
void CHECKSDA();
// State of order of order-disorder solution phase i at p (kbar), t (K);
// keep starts from the current values. True when found.
bool FINDLEGALQ(smallint i, bool keep, extended p, extended t, bool& moved);
// Activities and their sds of the end-members of solution phase i, in
// model order, at composition x, p and t.
void CALCACTIVITIES(smallint i, const eqvector& x, extended p, extended t, eqvector& a, eqvector& sda);

// Keeps the phases not dropped (solution phases first, then pure phases,
// in table order) and lists in NAME the data-set end-members they need.
void MAKENAME(const bemvector& drop);
// Removes components carried by no end-member and end-members that alone
// carry a component, which can take part in no reaction.
void CLEAN();
// True when name is a data-set end-member; asks once for a replacement.
bool OKNAME(sstring& name);

}  // namespace ZQREAD1
