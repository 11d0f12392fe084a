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
// The finder's progress marks follow "reactions : ", so their count starts
// at its width.
constexpr smallint MARKSTART = 12;
// A window of average P whose low T lies this close to the fixed T (K), or
// of average T whose low P lies this close to the fixed P (kbar), is one
// line: the finder tests a reaction at its two ends only.
constexpr extended ONELINETTOL = 0.1L;
constexpr extended ONELINEPTOL = 0.01L;

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
// null space of C into R and NR (NR set to 0 first, then rows appended by
// ZQMATH1::NULLSPACE), with their normalisers RNSITE; found is NR > 0.
void CALCRE2(bool& found);
// RNSITE of reactions 1..NR from the site multiplicities of the solution
// phases' end-members; 1 beyond NR.
void MAKERNSITE();
// The composition matrix on the details file.
void PRINTC();

}  // namespace ZQRE

#include "frame/zqglobal.h"

namespace ZQRE {

// The reactions of calc modes 2 and 3 by enumeration over component and
// phase subsets. ok: in calc mode 2, the search ended because the set is
// complete (or the user stopped it); in calc mode 3, neither table filled
// up. Untouched in a system without components.
void CALCRE(bool& ok);
// The k components of cc as flags, the phases 1..NCV that hold no other
// component (excluded phases unflagged), and their count among 1..NNE.
void CALCOXIDES(const iemvector& cc, smallint k, bcvector& ox, bemvector& ph, smallint& nph);
// Rank of the compositions of the flagged phases over the components 1..NU.
smallint CALCRANKC(const bemvector& ph);
// Calc mode 2: whether the subsystem of the flagged phases can still give
// a reaction the independent set needs; sets its target.
bool CALCLNIR(const bemvector& ph, smallint k);
// The phases of combination pc (numbered over the flagged phases), and
// whether an exclusion or a set already tried rules them out.
void CALCPHASES(const iemvector& pc, const bcvector& ox, const bemvector& ph, bemvector& sel, bool& skip);
// The one reaction among the chosen phases, stored, judged and marked:
// appended to R as row NR + 1 (NR raised, its phase set to RBIT), and in
// calc mode 2 dropped again (NR lowered) unless it is kept.
void CALCR(smallint k, const bcvector& ox, const bemvector& ph, bemvector& sel);
// Reaction NR against the independent ones kept before it; keeps its
// reduced row when independent.
bool NEWINDR();
// ALNK[NR]: sum of nu ln a of reaction NR (0 in calc mode 1).
void CALCDEL();
// One progress mark on the terminal and the log.
void WRITEMARK(char ch);
// Drops the reactions that hold an excluded phase or assemblage, with the
// intersections through them; final also builds the reaction texts. Writes
// R and NR (the kept rows moved up), RBIT and NRBIT likewise.
void REDUCE(bool final);
// Candidate intersection of combination ic, and whether it is ruled out.
void CALCPHASESI(const iemvector& ic, const bemvector& ph, bemvector& sel, bool& skip);
// Records the candidate when at least three stored reactions lie in it.
void CALCI(const bemvector& sel);
// The mark of a new component subsystem, or its line when REHELP is on.
void WRITESYSTEMINFO(const bcvector& ox, const bemvector& ph);

}  // namespace ZQRE
