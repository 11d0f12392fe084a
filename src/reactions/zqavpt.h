// Average pressure or temperature of a rock (calc mode 2): the driver, the
// iterations over P or T, the weighted average over independent reactions
// and the tables that show its inputs.
#pragma once

#include <vector>

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqnle4_linalg.h"
#include "frame/zqglobal_reactions.h"

// The reactions of one average: at most 24, the order the Cholesky
// routines take.
constexpr int maxavr = maxinvorder;

namespace ZQAVPT {

// Factor on an ln a uncertainty in the doubling diagnostics.
constexpr extended AVVKAPPA = 2;
// Singular values of the diagnostics below this fraction of the largest
// are taken as 0.
constexpr extended AVVSVDCUT = 1e-12L;

// Covariances of the reactions of the current set; only the leading NR x NR
// block is used. Their inverses are invmatrix of the frame.
using covmatrix = fmatrix<extended, 1, maxavr, 1, maxavr>;
using avrvector = farray<extended, 1, maxavr>;

// The driver of calc mode 2: passes over the rock until the user stops.
// Besides the windows, lists and FIX of the pass, it writes the reaction
// set: with "isr" in the script it loads that set itself into NR, rows
// 1..NR of R and their ALNK, after checking that it fits NAME and balances
// against C; otherwise ZQRE::CALCRE finds it (and SDAVVMAX is set first).
// Exclusions go to EXEM and NEX1, edited activities to ACTIVITY and
// SDACTIVITY, AVMODE and FLUIDTYPE are settled per pass.
void ROCKCALCS();
// The driver with the calc type of every pass set to mode: the one way into
// the kinds that no menu or script offers, for tests.
void ROCKCALCSAS(avtype mode);

// The average P at each T of LT, or the average T at each P of LP, made
// self-consistent with the activities of solution phases; summary tables.
void AVERAGEP();
void AVERAGET();
// The combined average P-T of the rock, fitted to every reaction at once.
void AVERAGEPT();
// P (kbar) and T (K) that best fit the lines of all reactions, started from
// FIXEDP, FIXEDT, with their sds, correlation and fit, and the single
// end-member diagnostics; P = T = 0 (the rest untouched) when the fit
// leaves the window or the lines fix no point.
void AVPT(extended& P, extended& T, extended& sdP, extended& sdT, extended& cor, extended& fit, extended xco2,
          extended xh2o);
// One row of the iteration trace of average P or average T.
void AVPITER(smallint it, extended T, extended X, extended sd, extended sigfit);
void AVTITER(smallint it, extended Ttrial, extended P, extended X, extended sd, extended sigfit);

// Activities of the solution phases' end-members at P (kbar), T (K), then
// ALNK of every reaction.
void UPDATEACTIVITY(extended P, extended T);

// The weighted average of the reactions' positions at the fixed T (average
// P) or P (average T), with its sd and sigfit; at the middle value of the
// list, unless quiet, the single end-member diagnostics. Singular weights
// stop the run at any value.
void AVV(extended& average, extended& sd, extended& sigfit, extended fixed, extended xco2, extended xh2o,
         bool quiet);
// The 95% limit of sigfit for nu degrees of freedom.
extended FITLIMIT(smallint nu);

// What the single end-member diagnostics of AVV and AVPT share; they work
// in USVD, SSVD and VSVD, which every call below overwrites.
// sqrt(x), with a radicand that rounding pushed below zero taken as zero.
extended ROOTOF(extended x);
// The end-members that some reaction 1..NR uses, in NAME order, into
// used[1..m]; returns m.
smallint USEDENDMEMBERS(iemvector& used);
// Rows 1..m, columns 1..NR of USVD: the enthalpy observations of unit
// variance, d[k] times reaction k over the symmetric square root (by SVD)
// of the used end-members' enthalpy covariance.
void ENTHALPYOBSERVATIONS(const iemvector& used, smallint m, const avrvector& d);
// After CALCSVD of an n x nr observation matrix: its pseudo-inverse,
// entry (k, i) at pinv[(k - 1) n + i - 1], and the leverages h[1..n];
// singular values below AVVSVDCUT of the largest carry no direction.
void PSEUDOINVERSE(smallint n, smallint nr, std::vector<extended>& pinv, std::vector<extended>& h);

// The activities, reactions and their positions, to terminal, summary and
// log; the same data as lists on the drawing data file.
void TABLE();
void SPECIALTABLES();

// Covariance of the reactions' enthalpies and of their ln K.
void CALCCOV(covmatrix& covh, covmatrix& covlnk);
// ainv := a^-1 of the leading n x n block, by a Cholesky factor of the
// lower triangle of a; fatal when a is not positive definite beyond its
// rounding, a pivot counting only above a share of its diagonal entry.
void POSDEFINVERT(const invmatrix& a, invmatrix& ainv, smallint n);

}  // namespace ZQAVPT
