// The rows of a point in the two csv files: the compositional variables in
// the second, the conditions, system properties and assemblage in the first.
#include "equilibria/zqnle2_print.h"
#include "equilibria/zqnle2_solve.h"
#include "frame/bytes.h"

using namespace ZQGLOBAL;

namespace ZQNLE2 {

namespace {

// The assemblage that ends the first row of a batch item. A point whose
// modes were not worked out carries the -1 of "no mode" for every phase
// that takes one: like modes of 0, that names every phase, so a plain P-T
// run keeps its assemblage in the row.
std::string assemblage() {
  bool nonepositive = true;
  for (smallint i = 1; i <= SU.nph; ++i) nonepositive = nonepositive && !(SU.ph[i].mode[1] > 0);
  std::string s = "  ";
  if (nonepositive) {
    for (smallint i = 1; i <= SU.nph; ++i) s += csvname(SU.ph[i].name) + " ";
    return s;
  }
  bool somezero = false;
  for (smallint i = 1; i <= SU.nph; ++i) {
    if (SU.ph[i].mode[1] > 0) s += csvname(SU.ph[i].name) + " ";
    somezero = somezero || SU.ph[i].mode[1] == 0;
  }
  if (somezero) {
    s += "- ";
    for (smallint i = 1; i <= SU.nph; ++i)
      if (SU.ph[i].mode[1] == 0) s += csvname(SU.ph[i].name) + " ";
  }
  return s;
}

void secondcsvrow() {
  constexpr int bit = CHANNEL::CSV2BIT;
  IO::CSV2FILEUSED = true;
  csvfield(bit, IO::REAL2STR(SU.pressure, 3, true), 9);
  csvfield(bit, ", ", 0);
  csvfield(bit, IO::REAL2STR(celsius(SU.temperature), 2, true), 9);
  csvfield(bit, ", ", 0);
  for (smallint i = 1; i <= SU.nph; ++i)
    for (smallint v = 1; v <= SU.ph[i].nem - 1; ++v) {
      csvfield(bit, IO::REAL2STR(SU.ph[i].x[v], 5, false), 9);
      csvfield(bit, ", ", 0);
    }
  IO::PUTSTR(0, "", 1, CHANNEL::CSV2);
}

}  // namespace

void solvestate::PRINTCSV() {
  if (CONTROLJX.uncertaintylevel == 0) secondcsvrow();
  if (on(CONTROLJX.compatibility) || on(CONTROLJX.modebox) || on(CONTROLJX.avptplus) || SU.ncomp > 1) return;
  if (noproperties()) {
    ++NOCSVROW;
    return;
  }
  constexpr int bit = CHANNEL::CSVBIT;
  IO::CSVFILEUSED = true;
  // The heading, and the assemblage after it, go with the item's first row.
  const bool first = NOK - NOCSVROW == 1;
  if (first) {
    if (MAINLOOP == 1) {
      csvfield(bit, "P(kbar), ", 12);
      csvfield(bit, std::string("T(") + macroman::degree_s + "C), ", 12);
      if (rowproperties())
        for (const char* h : {"G, ", "H, ", "S, ", "V, ", "rho, "}) csvfield(bit, h, 12);
    }
    IO::PUTSTR(0, "", 1, CHANNEL::CSV);
  }
  csvfield(bit, IO::REAL2STR(SU.pressure, 3, true), 10);
  csvfield(bit, ", ", 0);
  csvfield(bit, IO::REAL2STR(celsius(SU.temperature), 2, true), 10);
  csvfield(bit, ", ", 0);
  if (rowproperties()) {
    const extended props[] = {SU.gsys[1], SU.hsys[1], SU.ssys[1], SU.vsys[1], SU.rhosys[1]};
    const smallint places[] = {5, 5, 4, 4, 4};
    for (int k = 0; k < 5; ++k) {
      csvfield(bit, IO::REAL2STR(props[k], places[k], true), 10);
      csvfield(bit, ", ", 0);
    }
  }
  if (first) csvfield(bit, assemblage(), 0);
  IO::PUTSTR(0, "", 1, CHANNEL::CSV);
  IO::FLUSHFILE(IO::CHANNELFILE(bit));
}

}  // namespace ZQNLE2
