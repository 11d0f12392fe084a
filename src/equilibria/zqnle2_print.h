// What the printers of a calc-mode-1 point share: the channel mask of
// results, Celsius, the plain fixed-point text, the trace lines, and the
// fields that go straight into a csv file.
#pragma once

#include <string>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQNLE2 {

constexpr extended zeroedfactortol = 1e-8L;  // |f - 1| beyond this: modes were renormalised

// The results of a point go to the log alone in a dogmin run at level 1 and
// with avPT+; else to terminal, summary and log.
inline longint resultmask() {
  using namespace ZQGLOBAL;
  const bool quiet = (DOGMIN && DOGLEVEL == 1) || CONTROLJX.avptplus == yes;
  return quiet ? CHANNEL::LOG : CHANNEL::TERMSUMLOG;
}

// A script switch is on when it holds yes.
inline bool on(controlboolean c) { return c == yes; }

inline extended celsius(extended kelvin) { return kelvin - CONST::KELVIN; }

// The name of phase i over the whole table: solution phases 1..NPSS first.
inline const std::string& phasename(long i) {
  using namespace ZQGLOBAL;
  return i <= NPSS ? (*PREC1)[i].name : (*PREC0)[i - NPSS].name;
}

// Exactly d decimals, never an exponent, no rounding of small values to
// "0", right-justified in at least w characters.
std::string plainfixed(extended x, int d, int w);

// The rows of a point carry the system's G, H, S, V and density ("plotix"
// followed by 1).
inline bool rowproperties() {
  using namespace ZQGLOBAL;
  return CALCG && CONTROLJX.plotixcode == 1;
}
// The system properties are those of the point's first mode row: a point
// whose assemblage is not seen has none, so where its row would carry them
// it has no row.
bool noproperties();

// The position along the bulk range of the step whose modes mode row 1
// holds: the first seen step when the modes were worked out after the
// solve, else the current one.
extended rowoneposition();

// The modes of mode row 1 as the rbi reader takes them, per SU record (0
// for a record without a mode): the modes are shares of the atoms of the
// free components, the reader's of the atoms of every component it is given.
void rbimodes(farray<extended, 1, maxsu>& m);

// The "% bulk" line of an rbi table, to the log: after the label, bulk step
// `step` of SU, each free component's value under its own heading and an
// empty field under a component that is not free; a line too long goes on
// in the next as a comment, so that no value is lost.
void putrbibulkline(const std::string& label, smallint step);

// "+name" or "-name" on a line of its own, straight to the terminal, while
// the trace switch is on.
void whereat(const char* mark);

// A csv text field: right-justified in at least w characters, written
// straight into the file of channel bit (the same stream that IO::PUTSTR
// ends its lines on), which is then kept at the end of the run.
void csvfield(int bit, const std::string& text, int w);
// A name as a csv file may hold it: between double quotes, inner quotes
// doubled, when it holds a comma or a double quote; else as it is.
std::string csvname(const std::string& name);

}  // namespace ZQNLE2
