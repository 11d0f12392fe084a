// The bulk in log-ratio form: the denominator component, and the log-ratios
// of one bulk with their covariance from the analytical error model.
#include <cmath>
#include <string>

#include "equilibria/zqread3.h"
#include "equilibria/zqread3_logratio.h"
#include "frame/io.h"
#include "frame/zqglobal.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

// Variance of a closed bulk entry, times the entry; oxygen, which analyses
// give worse, has a larger one.
constexpr extended bulkvariance = UNCERTAINTY::BULKALPHA * UNCERTAINTY::BULKALPHA;
constexpr extended oxygenvariance = bulkvariance * UNCERTAINTY::BULKOXYGEN * UNCERTAINTY::BULKOXYGEN;

// Whether name is an oxide of the element/oxide table.
bool isoxide(const sstring& name) {
  for (long k = 1; k <= maxcomp; ++k)
    if (OXNAME[k] == name) return true;
  return false;
}

}  // namespace

void FINDKBPDEN() {
  // A fluid's H2O and CO2 come first, and are the ones a buffer fixes: the
  // denominator is looked for after them.
  smallint s = 0;
  if (NUV >= 2 && COMPNAME[1] == "H2O" && COMPNAME[2] == "CO2")
    s = 2;
  else if (NUV >= 1 && (COMPNAME[1] == "H2O" || COMPNAME[1] == "CO2"))
    s = 1;
  while (s < NUV) {
    ++s;
    if (BCOMPS[s]) break;
  }
  if (s < 1) s = 1;
  KBPDEN = s;
  if (!isoxide(COMPNAME[s])) IO::ERROREXIT("find kbpden", COMPNAME[s] + " not found", yourfault);
}

void CALCCOVBP_LOGRATIOS(const IO::rrvector& bulk, IO::rrvector& bp) {
  const smallint den = KBPDENFREE();
  IO::INTERNALCHECK(den >= 1 && den <= NUVLEFT, "calccovbp", "denominator of the log-ratios not a free component");
  long i = 0;
  for (long k = 1; k <= NUVLEFT; ++k)
    if (k != den) bp[++i] = std::log(bulk[k] / bulk[den]);
}

void CALCCOVBP(IO::rrvector& bulk) {
  const controljxtype& c = CONTROLJX;
  BP.fill(0);
  SDBP.fill(0);
  COVBP.fill(0);
  if ((c.rmi == yes || c.rbi == yes) && c.avptplus == yes) {
    CALCCOVBP_ROCK(bulk);
    return;
  }
  for (long i = 1; i <= NUVLEFT - 1; ++i)
    if (!isoxide(COMPNAME[i])) IO::ERROREXIT("calccovbp", COMPNAME[i] + " not found 2", yourfault);
  for (long k = 1; k <= NUVLEFT; ++k)
    if (bulk[k] < 0) IO::ERROREXIT("calccovbp", "negative entry in bulk: logratio cannot be formed", yourfault);
  CALCCOVBP_LOGRATIOS(bulk, BP);
  // The closed composition the log-ratios stand for, in percent.
  const smallint den = KBPDENFREE(), n = static_cast<smallint>(NUVLEFT - 1);
  extended sum = 1;
  for (long i = 1; i <= n; ++i) sum += std::exp(BP[i]);
  const extended wden = 100 / sum;
  for (long i = 1; i <= n; ++i)
    for (long j = 1; j <= n; ++j) COVBP(i, j) = bulkvariance / wden;
  long i = 0;
  smallint free = 0;
  for (long j = 1; j <= NUV; ++j) {
    if (!BCOMPS[j]) continue;
    if (++free == den) continue;
    const extended wk = std::exp(BP[++i]) * wden;
    COVBP(i, i) += (COMPNAME[j] == "O" ? oxygenvariance : bulkvariance) / wk;
  }
  for (long k = 1; k <= n; ++k) SDBP[k] = std::sqrt(COVBP(k, k));
}

}  // namespace ZQREAD3
