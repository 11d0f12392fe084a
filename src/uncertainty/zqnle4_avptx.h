// What the avPT+ nominal result and its Monte Carlo limits share: the limits
// and constants of the crossover search, the sampling and the statistics,
// the Gaussian numbers of the sampling, and the plain fixed-point text of the
// lines written straight to the terminal or the csv file.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "frame/types.h"

namespace ZQNLE4 {

// The AVPTALGO codes avPT+ tells apart.
constexpr smallint AVPTALGOBRUTEFORCE = 1;  // the brute-force table, then the process stops
constexpr smallint AVPTALGOCROSSOVER = 2;   // crossover searches; failures counted by reason
constexpr smallint AVPTALGOONESTEP = 3;     // as 2, but a try halves once
constexpr smallint AVPTALGOAVERAGE = 4;     // one averaged covariance of the calculated side for later passes

// ---------------------------------------------------------------- crossover search
constexpr extended AVPTLIMBAGREE = 0.025L;  // the two limbs of a block agree below this step
constexpr smallint AVPTMAXHALVING = 20;     // halving steps before the search gives up
constexpr smallint AVPTLIMBSIGNS = 2;       // limb splits with a growing sigfit that end the scan

// Why a crossover search failed (the driver counts them per kind).
constexpr smallint XFAILNONE = 0;
constexpr smallint XFAILTOOFEW = 1;   // too few data, and every failure not listed below
constexpr smallint XFAILHIGHEND = 2;  // no crossover, upper end nearer; avPT+: no block bracket
constexpr smallint XFAILLOWEND = 3;   // no crossover, lower end as near; avPT+: delP same in ih
constexpr smallint XFAILNOCOLLAPSE = 4;  // the interval halving did not collapse

// ---------------------------------------------------------------- sampling
constexpr std::uint32_t AVPTSEED = 1731830508u;  // every run draws the same numbers
constexpr smallint AVPTSAMPLESPT = 2000;   // samples of the first avPT+ pass
constexpr smallint AVPTSAMPLESONE = 4000;  // samples of a first avP+ or avT+ pass, and of later passes
constexpr extended AVPTTRYFACTOR = 2.5L;   // a pass gives up after this many tries per sample wanted
constexpr smallint AVPTFAILCHECK = 2000;   // the try at which the first pass weighs its failures
constexpr extended AVPTFAILFRACMAX = 0.15L;  // share of failed tries that marks "lots of fails"
constexpr smallint AVPTPROGRESS = 250;     // tries per "@" on the terminal
constexpr extended AVPTWRONGDELT = 0.02L;  // share of blocks with reversed T misfits worth a note
constexpr extended AVPTTSLACK = 0.001L;    // degrees C a try may lie beyond the T window

// ---------------------------------------------------------------- statistics
constexpr extended CI95LOW = 0.025L;   // quantiles of the 95% interval
constexpr extended CI95HIGH = 0.975L;
constexpr extended CI95WIDTH = 3.92L;       // a 95% normal interval, in sd
constexpr extended NMADQUANTILE = 0.6745L;  // the normal quantile of the median absolute deviation
constexpr extended ELLIPSEWIDEN = 1.248469387755102L;  // 2.447 / 1.96: box of the 95% ellipse
constexpr extended RSEARCHFROM = -0.97L;    // the correlation search starts one step above this
constexpr extended RSEARCHSTEP = 0.01L;
constexpr extended RSEARCHTO = 0.95L;       // and ends past this
constexpr extended ELLIPSESHARE = 0.9L;     // share of the samples the smallest ellipse holds
constexpr extended NOAREA = 1e10L;          // larger than any ellipse area
constexpr extended NORBEST = 2;             // the correlation when no ellipse was found

// The Gaussian numbers of the Monte Carlo tries: a Mersenne twister and the
// polar Box-Muller method written out here, so that every build and library
// draws the same sequence from the same seed. Holds no heap memory.
struct avptgauss {
  std::mt19937 gen;
  bool havespare = false;  // the second number of the last pair waits
  extended spare = 0;
  void seed(std::uint32_t s);
  // The next number of mean 0 and sd 1.
  extended next();
};

// x as a fixed-point field of width w with d decimals, as the lines written
// outside the channels show numbers (zero is "0.000", not "0").
std::string avptfixed(extended x, int w, int d);

}  // namespace ZQNLE4
