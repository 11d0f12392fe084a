// What the bulk reader keeps while it settles a range: the working bulks,
// whether one bulk was chosen within the range, and the steps that choose;
// shared by the reader and its report.
#pragma once

#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQREAD3 {

struct READCOMPS_STATE {
  cvector w{"readcomps w"};    // the one bulk
  cvector c1{"readcomps c1"};  // the two ends of a range
  cvector c2{"readcomps c2"};
  bool chosen = false;         // the one bulk was chosen within the script's range
  extended chosenp = 0;        // at this proportion of the range

  // (1 - p) c1 + p c2.
  void mix(extended p, cvector& out) const;
  // One bulk at p across the range.
  void takeone(extended p);
  // One bulk within a range, or a subrange of it, as the script or the
  // answers choose; NCOMP 1 after one bulk.
  void settle();
  void onebulk();
  void splitbulk();
  void subrange(extended s1, extended s2);
  void typedsubrange();
  // The points across a range: NCOMP.
  void increments();
  // The bulk or range settled, to terminal, summary and log.
  void report();
  void reportone();
  void reportrange();
};

}  // namespace ZQREAD3
