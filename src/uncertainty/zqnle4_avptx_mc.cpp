// The Monte Carlo limits of avPT+: tries that perturb both sides by their
// covariances and solve again, the first pass and the further passes at a
// typed multiplier on the uncertainties, and the samples of the last pass
// in the first csv file.
#include <string>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

namespace {

// The multipliers a later pass accepts.
bool goodufac(extended u) { return u > 0 && u <= 1; }

void flushcsv() {
  IO::FLUSHFILE(IO::CHANNELFILE(CHANNEL::CSVBIT));
}

}  // namespace

void avptplusstate::MCTRY(bool crossover) {
  using namespace ZQGLOBAL;
  ++NTRY;
  if (NTRY % AVPTPROGRESS == 0) IO::WRITETERMINAL("@");
  const smallint n = NJXXYZ;
  for (long i = 1; i <= n; ++i) {
    ROCKXYZMC[i] = ROCKXYZ[i];
    JXXYZMC[i] = JXXYZ[i];
  }
  // One fresh number for every (i, j) of each side, in this order.
  for (long i = 1; i <= n; ++i) {
    for (long j = 1; j <= n; ++j) ROCKXYZMC[i] += UFAC * LROCK(i, j) * GAUSS.next();
    for (long j = 1; j <= n; ++j) JXXYZMC[i] += UFAC * LJX(i, j) * GAUSS.next();
  }
  ITRY = NTRY;
  PTRY = PNOM;
  TTRY = TNOM;
  if (AVPPLUS) TTRY = AVPFIXEDT;
  if (AVTPLUS) PTRY = AVTFIXEDP;
  if (TRYSEAM != nullptr)
    SOLVED = TRYSEAM(*this);
  else if (crossover)
    SOLVED = AVPTPLUSX(ROCKXYZMC, JXXYZMC, PTRY, TTRY, SIGFITMC, FAILCODE, false);
  else
    SOLVED = AVPTPLUS(ROCKXYZMC, JXXYZMC, 0, PTRY, TTRY, SIGFITMC, false);
  IO::DUMMYBOOLEAN = CHECKOUTSIDE();
  if (SOLVED) {
    ++NGOOD;
    PSAMPLE[NGOOD] = PTRY;
    TSAMPLE[NGOOD] = TTRY;
  }
  if (FAILCODE == XFAILTOOFEW) ++NFAILED1;
  if (FAILCODE == XFAILHIGHEND) ++NFAILED2;
  if (FAILCODE == XFAILLOWEND) ++NFAILED3;
  if (FAILCODE == XFAILNOCOLLAPSE) ++NFAILED4;
}

void avptplusstate::SETSAMPLESIZE(smallint n) {
  NSAMPLE = n;
  if (NSAMPLE > maxsortlen) IO::ERROREXIT("avptplus driver", "sortlength exceeded", yourfault);
}

void avptplusstate::FIRSTPASS() {
  using namespace ZQGLOBAL;
  GAUSS.seed(AVPTSEED);
  IO::WRITETERMINAL("\nprogress - monte carlo calcs: seed = " + IO::INT2STR(AVPTSEED) + "  ");
  SETSAMPLESIZE(AVPPLUS || AVTPLUS ? AVPTSAMPLESONE : AVPTSAMPLESPT);
  NFAILCHECK = AVPTFAILCHECK;
  UFAC = 1;
  FAILFRACMAX = AVPTFAILFRACMAX;
  // Every perturbation is divided by ufac later on, so 0 or a negative
  // factor would wreck them all; a factor above 1 only widens the spread.
  do IO::PROMPTREAL("ufac", UFAC);
  while (!(UFAC > 0));
  UFACOLD = UFAC;
  NAVPTPLUS = NLIMBSPLIT = NWRONGDELT = NTRY = NGOOD = NOUTSIDE = 0;
  NFAILED1 = NFAILED2 = NFAILED3 = NFAILED4 = 0;
  FAILCODE = 0;
  const long trylimit = std::lround(AVPTTRYFACTOR * NSAMPLE);
  do {
    MCTRY(true);
    LOTSOFFAILS = false;
    if (NTRY == NFAILCHECK) {
      NFAILTOTAL = static_cast<smallint>(NFAILED1 + NFAILED2 + NFAILED3 + NFAILED4);
      FAILFRAC = static_cast<extended>(NFAILTOTAL) / NFAILCHECK;
      LOTSOFFAILS = FAILFRAC >= FAILFRACMAX;
    }
  } while (!(NGOOD == NSAMPLE || LOTSOFFAILS || NTRY >= trylimit));
  flushcsv();
  if (NOUTSIDE > 0) IO::WRITETERMINAL(IO::INT2STR(NOUTSIDE) + "outside the P/T of the jx data - why?\n");
  NFAILTOTAL = static_cast<smallint>(NFAILED1 + NFAILED2 + NFAILED3 + NFAILED4);
  PRINTFAILINFO(NTRY, NGOOD);
  if (NWRONGDELT > AVPTWRONGDELT * ITRY)
    IO::WRITETERMINAL("\"wrong\" delt relations " + IO::INT2STR(NWRONGDELT) + "\n");
  NSAMPLE = NGOOD;
  PRINTMC(true);
  if (LOTSOFFAILS) {
    IO::PUTSTR(0, "here just for reference: possibly untrustworthy", 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(1, "lots of fails", 1, CHANNEL::TERMSUMLOG);
  } else {
    IO::PUTSTR(1, "looks like an ok result?", 2, CHANNEL::TERMSUMLOG);
  }
}

void avptplusstate::FURTHERPASS() {
  IO::WRITETERMINAL("\nprogress - monte carlo calcs: ");
  SETSAMPLESIZE(AVPTSAMPLESONE);
  // Only the answer 1 to the first question adds to the first pass's samples.
  if (!(IPASS == 1 && UFAC == 1)) {
    NGOOD = NOUTSIDE = 0;
    NFAILED1 = NFAILED2 = NFAILED3 = NFAILED4 = 0;
  }
  NTRY = 0;
  FAILCODE = 0;
  const extended trylimit = AVPTTRYFACTOR * NSAMPLE;
  do MCTRY(ZQGLOBAL::AVPTALGO != AVPTALGOAVERAGE);
  while (NGOOD < NSAMPLE && NTRY <= trylimit);
  PRINTFAILINFO(NTRY, NGOOD);
  IO::PUTSTR(NFAILTOTAL == 0 ? 1 : 0, "", 1, CHANNEL::TERMSUMLOG);
  NSAMPLE = NGOOD;
  PRINTMC(true);
}

void avptplusstate::WRITESAMPLES() {
  IO::CSVFILEUSED = true;
  UFAC = UFACOLD;
  IO::textfile& f = IO::CHANNELFILE(CHANNEL::CSVBIT);
  for (long k = 1; k <= NSAMPLE && f.f != nullptr; ++k) {
    std::string row;
    if (AVPPLUS)
      row = avptfixed(CONVP(PSAMPLE[k]), 10, 3);
    else if (AVTPLUS)
      row = avptfixed(CONVT(TSAMPLE[k]), 10, 3);
    else
      row = avptfixed(CONVP(PSAMPLE[k]), 10, 3) + ", " + avptfixed(CONVT(TSAMPLE[k]), 10, 2);
    row += '\n';
    IO::WRITEFILE(f, row);
  }
  flushcsv();
}

void avptplusstate::MONTECARLO() {
  FIRSTPASS();
  IPASS = 0;
  for (;;) {
    ++IPASS;
    // The factor of the last pass that ran: an answer that ran no pass
    // (below 0 or above 1) must not become the factor of the samples.
    if (goodufac(UFAC)) UFACOLD = UFAC;
    UFAC = 0;
    IO::PUTSTR(1, "ufac = multiplier on input uncertainties; ", 0, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, "try 0.1 or 0.2? (1 continues accumulating; 0 exits this loop)", 1, CHANNEL::TERMSUMLOG);
    IO::PROMPTREAL("ufac to use", UFAC);
    if (goodufac(UFAC)) FURTHERPASS();
    if (UFAC == 0) break;
  }
  WRITESAMPLES();
}

}  // namespace ZQNLE4
