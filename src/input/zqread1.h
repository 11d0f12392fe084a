// Readers of the data set and the set-up of calc modes 2 and 3.
#pragma once

#include "io.h"
#include "types.h"

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

}  // namespace ZQREAD1
