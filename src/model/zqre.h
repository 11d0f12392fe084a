// Independent sets of reactions among end-members.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"

// Per corner of a diagram window: true where the reaction's affinity is
// negative (false also when it is not a number).
using g4vector = farray<bool, 1, 4>;

namespace ZQRE {

// Standard deviation given to a reaction outside the window of an average.
constexpr extended AVSDOUTSIDE = 1000;

// Whether reaction k crosses the window of the current diagram; g gets the
// corner signs. One member per kind of diagram.
bool INPTXWINDOW(smallint k, g4vector& g);
bool INPTWINDOW(smallint k, g4vector& g);
bool INPXWINDOW(smallint k, g4vector& g);
bool INTXWINDOW(smallint k, g4vector& g);
bool INPLNAWINDOW(smallint k, g4vector& g);
bool INTLNAWINDOW(smallint k, g4vector& g);
bool INPMUWINDOW(smallint k, g4vector& g);
bool INTMUWINDOW(smallint k, g4vector& g);
// Whether reaction NR lies in the window of the average P or T, and the
// standard deviation of its position there (AVSDOUTSIDE when not).
bool INAVWINDOW(extended& sd);

}  // namespace ZQRE

namespace ZQRE {

// The reactions of the calculation's end-members: an integer basis of the
// null space of C into R and NR, with their normalisers; found is NR > 0.
void CALCRE2(bool& found);
// RNSITE of reactions 1..NR from the site multiplicities of the solution
// phases' end-members; 1 beyond NR.
void MAKERNSITE();
// The composition matrix on the details file.
void PRINTC();

}  // namespace ZQRE
