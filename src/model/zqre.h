// Independent sets of reactions among end-members.
#pragma once

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
