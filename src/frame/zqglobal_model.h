// Shared state of the end-member model: the least-squares mode's own
// end-member records, which the Gibbs-energy routine reads in place of the
// data-set rows in that mode, and the model's flags and counters.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal_dataset.h"

constexpr int maxformpairs = 8;  // formula pairs of one end-member record

// One (element or oxide code, amount) pair of an end-member's formula.
struct formulapairtype {
  smallint code = 0;
  extended amount = 0;
};

// One end-member of the least-squares end-member file.
struct tdrec {
  sstring name;
  str255 formula;
  smallint nsite = 0;
  smallint nform = 0;
  farray<formulapairtype, 1, maxformpairs> form{"tdrec form"};
  extended natoms = 0;
  smallint eqtype = 0;
  extended h = 0, s = 0, v = 0;
  extended cpa = 0, cpb = 0, cpc = 0, cpd = 0;
  extended a0 = 0;
  extended k0 = 0, k0p = 0, k0pp = 0;
  extended theta = 0;
  extended dk0dt = 0;
  extended cv1 = 0, cv2 = 0;
  extended smax = 0, vmax = 0, tcrit = 0;
  extended bwdh = 0, bwdv = 0, bww = 0, bwwv = 0, bwfac = 0;
  smallint bwn = 0;
  extended cpaq = 0;
  extended spare1 = 0, spare2 = 0;
  extended xmix = 0;
  str255 hnote, snote, vnote, cpnote, a0note;
  str255 spare3;
  str255 knote;
  str255 odnote;
  extended sdh = 0;
  extended hcal = 0, sdhcal = 0;
  extended dscode = 0;
  extended sds = 0;
  extended h0 = 0, sdh0 = 0;
};

using tdtype = farray<tdrec, 1, maxdsem>;

namespace ZQGLOBAL {

// End-member records of the least-squares mode, parallel to PHNAMES; filled
// by the least-squares end-member reader, the fitted enthalpies written back.
extern tdtype TDA;
// True while the least-squares output tables are written: a solid's
// thermal-pressure problem is then reported and clamped, not fatal.
extern bool FROMOUTXY;
// Count of ZQCALC1::DELEI series that did not converge and fell back on the
// exponential integrals; zeroed at the start of a least-squares run.
extern extended VD;

// The defaults of the state above.
void RESETMODEL();

}  // namespace ZQGLOBAL
