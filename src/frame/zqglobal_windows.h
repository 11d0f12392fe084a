// The calculation windows, the value lists made from them, and the settings
// of the P-T set-up that say which variable is listed and which is searched;
// the script reader fills some of them first, the window and list routines
// the rest.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"

// The variable a window test or a one-variable search is about.
enum class findtype { findt, findp, findxco2, findlna, findmu };
// Whether the two limits of a window may be equal (a single value).
enum class xOKtype { canbesame, mustbedifferent };
// Which of P and T are held at listed values.
enum class fixtype { fixnone, fixp, fixt, fixpt };
// The variable a line is solved for, and the one held fixed along it.
enum class calcvariabletype { calcpressure, calctemperature };
enum class othervariabletype {
  fixedpressure,
  fixedtemperature,
  fixedmolefractionCO2,
  fixedlnactivity,
  fixedchemicalpotential
};

constexpr int maxlistvalues = 201;  // values of one list
constexpr int maxlistrows = 6;      // ln a and mu variables, one list each
constexpr int maxphases = 400;      // solution phases first, then pure phases

using listvector = farray<extended, 1, maxlistvalues>;
using listmatrix = fmatrix<extended, 1, maxlistrows, 1, maxlistvalues>;

namespace ZQGLOBAL {

// Windows: temperatures in K, pressures in kbar, x(CO2) as mole fraction,
// the activity variable as ln a (or log a), chemical potentials in kJ.
extern extended TLOW, THIGH, PLOW, PHIGH;
extern extended XCO2LOW, XCO2HIGH, LNALOW, LNAHIGH, MULOW, MUHIGH;  // x(CO2), ln a and mu windows (script, diagram set-up)
extern extended FIGPLOW, FIGPHIGH, FIGTLOW, FIGTHIGH;  // the P-T window of the drawn figure (P-T set-up)
extern extended CTINC, CPINC;  // T and P steps of the calculation (script, P-T set-up)

// Value lists and their counts.
extern listvector LP, LT, LXCO2, LXH2O;
extern smallint NLP, NLT, NLX;  // values in LP, LT and the x lists (list set-up, diagram set-up, avPT driver)
extern listmatrix LLNA, LMU;  // ln a and mu lists, one row per variable (list set-up, ln a/mu set-up)
// NLLNA and NLMU (one count per row) are with the run constants.

// The P-T set-up and the values held fixed along a line or a section.
extern fixtype FIX;
extern calcvariabletype CALCVARIABLE;     // the variable solved for along a line (diagram and P-T set-up)
extern othervariabletype OTHERVARIABLE;  // the variable stepped along a line (diagram and P-T set-up)
extern extended FIXEDP, FIXEDT;  // P (kbar) and T (K) held fixed (diagram set-up, rock and activity readers, avPT driver)
// FLUIDTYPE is with the a-x reader's state.

// The ln a variables' entropies, and the phases in excess and those that
// take part in the choice of phase combinations.
extern farray<extended, 1, maxlistrows> KEEPLNAS;
extern farray<smallint, 1, maxlistrows> LNAROW;   // TD row carrying each ln a variable in its entropy slot, 0 none (CARRYLNA)
extern farray<extended, 1, maxlistrows> LNATERM;  // the term carried there, R ln a or R ln 10 log a (CARRYLNA)
extern farray<bool, 1, maxphases> PINEX, PMBP;  // phases in excess, phases in the combinations (ln a/mu set-up)
extern smallint NPINEX, NPMBP;  // how many of each (ln a/mu set-up)

// Ln a variable j carried in the entropy slot of TD row row: the slot takes
// KEEPLNAS[j] - term, so that -T S adds T term to the row's G.
void CARRYLNA(smallint j, smallint row, extended term);

// Whether TD row row, whose entropy slot holds slotS, carries an ln a
// variable: then own is the row's own entropy and term the variable's term.
// A row filled afresh since no longer holds the carried value and counts as
// its own.
inline bool LNACARRIED(smallint row, extended slotS, extended& own, extended& term) {
  for (int j = 1; j <= maxlistrows; ++j) {
    if (LNAROW[j] != row || slotS != KEEPLNAS[j] - LNATERM[j]) continue;
    own = KEEPLNAS[j];
    term = LNATERM[j];
    return true;
  }
  return false;
}

}  // namespace ZQGLOBAL
