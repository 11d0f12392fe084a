// The row store of a batch run or a Monte Carlo series: one row per point
// of the current run, kept until the run's verdict decides whether its
// block is written. Made once per call of SOLVE, at its first row; a run
// only overwrites it.
#pragma once

#include <string>

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_script.h"

namespace ZQNLE2 {

constexpr int maxmcrows = maxbatch * maxbatchpt;  // rows of one run: every point of every item
constexpr int nmcprops = 5;                       // system G, H, S, V and density of a row
constexpr int maxmcvar = 2 * maxmc;               // Gaussian variables: ranges, then own-width parameters

constexpr smallint wkind = 1, asymkind = 2, dqfkind = 3;  // what a Monte Carlo parameter is: W, van Laar asymmetry, DQF

// The DQF term a, b or c of a DQF parameter as its a-x model holds it.
extended dqfterm(const mctype& m);
// The DQF term after a draw of value: the b term acts with the opposite sign.
extended dqfdrawn(const mctype& m, extended value);

// One point of the current run.
struct mcrow {
  smallint item = 0;   // its batch item
  smallint point = 0;  // its point within the item
  smallint nx = 0, nxp = 0;  // NX and NXP at the point
  bool good = false;   // solved and in range
  eqvector value{"mcrow value"};  // P (kbar), T (K), then X 3..NX+NXP; 0 beyond
  farray<extended, 1, nmcprops> prop{"mcrow prop"};
  str255 react;        // the reaction text of the point, empty when none
};

// The component settings a batch item may change: the free components and
// their count, the highest component, the bulk. Kept as the run set them
// up, so that each item starts from them and the run gets them back.
struct runcomponents {
  smallint nuvleft = 0, nu = 0, nuv = 0, ncomp = 0;
  farray<bool, 1, maxcomp> bcomps{"run BCOMPS"};
  farray<extended, 1, maxcomp> comp1{"run COMP1"};
  void KEEP();
  void RESTORE() const;
};

struct mcrowstore {
  farray<mcrow, 1, maxmcrows> row{"MCROWS"};
  mcrowstore() {
    // A reaction text never outgrows this: storing one allocates nothing.
    for (long r = 1; r <= maxmcrows; ++r) row[r].react.reserve(255);
  }
};

}  // namespace ZQNLE2
