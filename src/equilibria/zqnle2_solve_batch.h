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
#include "frame/zqglobal_solver.h"

namespace ZQNLE2 {

constexpr int maxmcrows = maxbatch * maxbatchpt;  // rows of one run: every point of every item
constexpr int nmcprops = 5;                       // system G, H, S, V and density of a row
constexpr int maxmcvar = 2 * maxmc;               // Gaussian variables: ranges, then own-width parameters

constexpr smallint wkind = 1, asymkind = 2, dqfkind = 3;  // what a Monte Carlo parameter is: W, van Laar asymmetry, DQF

// The DQF term a, b or c of a DQF parameter as its a-x model holds it.
extended dqfterm(const mctype& m);
// The row entry of a DQF parameter whose term is drawn as value: the
// entropy entry holds -b, so it moves against the b term.
extended dqfrow(const mctype& m, extended value);

// The buffered fluid that comes with every batch item (its phase number), 0
// when the section buffers none.
smallint CARRIEDFLUID();
// Phase i is among the item's phases: named by it, or its buffered fluid.
bool ITEMPHASE(const batchtype& item, long i);
// All the points of an item: its P-T points times every value of the
// run's held lists (a mu or ln a list, the buffered fluid's x(CO2) where
// the item holds it).
long ITEMPOINTS(const batchtype& item);

// One point of the current run.
struct mcrow {
  smallint item = 0;   // its batch item
  smallint point = 0;  // its slot within the item: its held-list values and P-T point
  smallint ptpoint = 0;  // the item's P-T point it was solved at, whose filters it meets
  smallint nx = 0, nxp = 0;  // NX and NXP at the point
  bool good = false;   // solved and in range
  eqvector value{"mcrow value"};  // P (kbar), T (K), then X 3..NX+NXP; 0 beyond
  bool hasprop = false;  // the point has system properties
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
  // Set while an item's own free components size the formulas: giving the
  // run's components back sizes them again.
  bool resized = false;
  void KEEP() { transfer(false); }
  void RESTORE() { transfer(true); }

 private:
  // The settings walked one way to keep them, the other to give them back.
  void transfer(bool back);
};

struct mcrowstore {
  farray<mcrow, 1, maxmcrows> row{"MCROWS"};
  mcrowstore() {
    // A reaction text never outgrows this: storing one allocates nothing.
    for (long r = 1; r <= maxmcrows; ++r) row[r].react.reserve(255);
  }
};

// What working out a row's system properties writes over, kept so that the
// point's own printers still find the point as it was solved.
struct rowpropkeep {
  struct phase {
    farray<extended, 1, maxssem> p{"keep p"}, ideal{"keep ideal"}, gamma{"keep gamma"}, activity{"keep activity"},
        gem{"keep gem"}, rtlna{"keep rtlna"};
    extended modefac = 0, g = 0, s = 0, v = 0, h = 0, rho = 0;  // modefac of mode row 1
  };
  farray<phase, 1, maxsu> ph{"keep ph"};
  modesetvector gsys{"keep gsys"}, hsys{"keep hsys"}, ssys{"keep ssys"}, vsys{"keep vsys"}, rhosys{"keep rhosys"};
  emvector activity{"keep ACTIVITY"};
  emvector xco2{"keep xco2"}, xh2o{"keep xh2o"};  // the fluid slots of the end-member rows
};

}  // namespace ZQNLE2
