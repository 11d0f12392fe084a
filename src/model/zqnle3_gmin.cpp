// The P-T grid of a Gibbs-energy minimisation run.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace ZQNLE3 {

namespace {

constexpr extended nogap = 100;  // gap to the next lowest G before any is seen
constexpr smallint gridlevel = 2;  // the least search level of a grid of several points

}  // namespace

void SETUPGMIN() {
  const long n = static_cast<long>(NLP) * NLT;
  if (n > maxgmin) IO::ERROREXIT("setup dogmin", "too many PT (max " + IO::INT2STR(maxgmin), yourfault);
  NGMIN = static_cast<smallint>(n);
  if (NGMIN != 1 && DOGLEVEL < gridlevel) DOGLEVEL = gridlevel;
  long k = 0;
  for (long ip = 1; ip <= NLP; ++ip) {
    for (long it = 1; it <= NLT; ++it) {
      gminrec& g = GMININFO[++k];
      g.p = LP[ip];
      g.t = LT[it];
      g.gmin = 0;
      g.del = nogap;
      g.ncalc = 0;
      g.imin = 0;
    }
  }
}

}  // namespace ZQNLE3
