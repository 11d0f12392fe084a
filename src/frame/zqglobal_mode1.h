// Shared state that the calc-mode-1 set-up settles once per pass and the x(CO2)
// prompts change between runs: the isopleth value lists.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_windows.h"

constexpr int maxisolists = 10;  // isopleth value lists

using isolistmatrix = fmatrix<extended, 1, maxisolists, 1, maxlistvalues>;

namespace ZQGLOBAL {

// Isopleth value lists; list 1 carries the x(CO2) values when x(CO2) is the
// set variable (isopleth readers, the x(CO2) prompts).
extern isolistmatrix LISO;
extern farray<smallint, 1, maxisolists> NLISO;  // values in each list (isopleth readers, the x(CO2) prompts)

// Every global above back to its default.
void RESETMODE1();

}  // namespace ZQGLOBAL
