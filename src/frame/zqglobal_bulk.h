// Shared state of the bulk composition past what the script gives: the
// fluid's share of a rock's bulk, the bulk in log-ratio form (its
// covariance COVBP and sds SDBP are with the uncertainty state), and the
// rock minerals' measured compositional variables with their covariance,
// which the log-ratio covariance samples.
#pragma once

#include <string>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_uncertainty.h"
#include "frame/zqnle4_linalg.h"

constexpr int maxrockxyz = maxinvorder;  // measured variables of all rock minerals together

using xyzvector = farray<extended, 1, maxrockxyz>;
using xyzmatrix = invmatrix;

namespace ZQGLOBAL {

extern extended FLUIDINBULKINFO;  // share of the fluid in a rock's bulk, left out of it (bulk reader, avPT+ with x(CO2))
extern IO::rrvector BP;           // ln(free component / denominator), the denominator left out (CALCCOVBP)
extern xyzvector ROCKXYZ;         // the rock minerals' measured variables, minerals in order (CALCROCKXYZ)
extern smallint NROCKXYZ;         // entries of ROCKXYZ (CALCROCKXYZ)
extern xyzmatrix ROCKVXYZ;        // their covariance, block-diagonal by mineral (CALCROCKXYZ)

// A bulk holds no negative amount, whichever line gives it: entries 1..n
// of v are checked, and the first negative one ends the run as from where,
// with the line named after the message when one is given.
template <class V>
void NONEGATIVEBULK(const std::string& where, const V& v, long n, const std::string& line = "") {
  for (long k = 1; k <= n; ++k)
    if (v[k] < 0)
      IO::ERROREXIT(where, std::string("negative entries not allowed in a bulk") + (line.empty() ? "" : ": " + line),
                    yourfault);
}

// Every global above back to its default.
void RESETBULK();

// KBPDEN, a number among all components, as a position among the free
// ones: the index at which a bulk over the free components holds the
// denominator (0 when it is not free).
smallint KBPDENFREE();

}  // namespace ZQGLOBAL
