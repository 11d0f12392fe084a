// Stand-ins for the bulk's log-ratio covariance and its rock route: no
// script raises the uncertainty level or takes the rock route, so nothing
// reaches them until "Fractionation and bulk log-ratio uncertainties
// (present, never run)" builds them.
#include "equilibria/zqread3.h"

namespace ZQREAD3 {

// Stands in for the log-ratio covariance: BP, SDBP and COVBP stay as they are.
void CALCCOVBP(IO::rrvector& /*bulk*/) {}
// Stands in for the bulk from the minerals' variables: nothing is formed.
void CALCBP(IO::rrvector& /*bulk*/, IO::rrvector& /*bp*/, const xyzvector& /*xyz*/, smallint /*printlevel*/) {}
// Stands in for the rock minerals' phases: none is looked up.
void MINERALSETUP() {}
// Stands in for the rock minerals' variables: ROCKXYZ stays empty.
void CALCROCKXYZ() {}

}  // namespace ZQREAD3
