// The parts of the bulk's log-ratio covariance that its routes share.
#pragma once

#include "frame/io.h"
#include "frame/types.h"

namespace ZQREAD3 {

// bp[1..NUVLEFT - 1] := ln(bulk[k] / bulk[denominator]) over the free
// components k other than the denominator, in order.
void CALCCOVBP_LOGRATIOS(const IO::rrvector& bulk, IO::rrvector& bp);
// The rock route: the bulk from the minerals and the covariance of its
// log-ratios from samples of their measured variables.
void CALCCOVBP_ROCK(IO::rrvector& bulk);

}  // namespace ZQREAD3
