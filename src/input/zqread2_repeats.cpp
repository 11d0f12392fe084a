// A name written twice inside one model of the a-x file: the services its
// lists share.
#include <cstdint>

#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

namespace {

// n1/d1 and n2/d2 of one value; written over any denominators.
bool samerational(smallint n1, smallint d1, smallint n2, smallint d2) {
  return static_cast<std::int64_t>(n1) * d2 == static_cast<std::int64_t>(n2) * d1;
}

bool samefactor(const xtermtype& a, const xtermtype& b) {
  if (!samerational(a.cn, a.cd, b.cn, b.cd) || a.m != b.m) return false;
  for (long k = 1; k <= a.m; ++k)
    if (a.v[k] != b.v[k] || !samerational(a.an[k], a.ad[k], b.an[k], b.ad[k])) return false;
  return true;
}

}  // namespace

void GIVENTWICE(const std::string& name, const std::string& where, bool values) {
  IO::ERROREXIT("setup phases", name + " given twice in " + where + (values ? " with different values" : ""),
                yourfault);
}

bool SAMETERM(const termtype& a, const termtype& b) {
  if (a.nterms != b.nterms) return false;
  for (long t = 1; t <= a.nterms; ++t) {
    const sxtermtype& ta = a.terms[t];
    const sxtermtype& tb = b.terms[t];
    if (ta.coef != tb.coef || ta.nfactors != tb.nfactors) return false;
    for (long f = 1; f <= ta.nfactors; ++f)
      if (!samefactor(ta.factors[f], tb.factors[f])) return false;
  }
  return true;
}

}  // namespace ZQREAD2
