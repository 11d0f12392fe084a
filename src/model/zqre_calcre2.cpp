// The reactions of a calc-mode-1 assemblage: an integer basis of the null
// space of its composition matrix, the normaliser of each reaction's
// residual, and the listings of both.
#include <cmath>
#include <memory>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "model/zqcalc2.h"
#include "model/zqre.h"

using namespace ZQGLOBAL;

namespace ZQRE {

namespace {

constexpr extended maxrnsite = 500;  // the largest normaliser a reaction gets

const std::string listindent = "   ";  // opens a line that goes on with a list of the drawing data

// Row `row` of `last` rows of a braced list after head: its n integer
// entries right-justified in 3, closed by "}," and one line end, or by
// "}};" and two after the last row; it goes on in the next line where it
// would pass a line's length.
template <class Get>
void listrow(const std::string& head, long n, Get get, long row, long last, longint mask = CHANNEL::DRAWING) {
  IO::PUTROW(
      0, head, n,
      [&](long l, std::string& line) {
        IO::ADDINT(static_cast<extended>(get(l)), 3, line);
        if (l < n)
          IO::ADDSTR(", ", 0, line);
        else if (row < last)
          IO::ADDSTR("},", 0, line);
        else
          IO::ADDSTR("}};", 0, line);
      },
      row < last ? 1 : 2, mask, "", listindent);
}

// The composition matrix and its divisors on the terminal, summary and log,
// for a user to see why the end-members gave no reaction.
void noreactions() {
  IO::PUTSTR(1, "** no reactions", 2, CHANNEL::TERMSUMLOG);
  PRINTC();
  std::string& line = IO::WSTR;
  for (long j = 1; j <= NCV; ++j) {
    line.clear();
    IO::ADDNAME(NAME[j], -6, line);
    for (long i = 1; i <= NUV; ++i) IO::ADDINT((*C)(i, j), 4, line);
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
  IO::PUTSTR(0, "", 1, CHANNEL::TERMSUMLOG);
  line.clear();
  for (long i = 1; i <= NUV; ++i) IO::ADDINT(COMPDIV[i], 4, line);
  IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
}

// The reactions as text in the log, and names, compositions and reactions
// as braced lists in the drawing data file.
void listreactions() {
  IO::PUTSTR(0, "", 1, CHANNEL::LOG);
  for (long k = 1; k <= NR; ++k) {
    ZQCALC2::MAKERLINE(static_cast<smallint>(k));
    IO::PUTSTR(0, RLINES[k], 1, CHANNEL::LOG);
  }

  constexpr longint qk = CHANNEL::DRAWING;
  IO::PUTSTR(0, "", 2, qk);
  IO::PUTROW(
      0, "name = {", NCV,
      [](long j, std::string& line) {
        IO::ADDSTR("\"", 0, line);
        IO::ADDSTR(NAME[j], 0, line);
        IO::ADDSTR(j < NCV ? "\"," : "\"};", 0, line);
      },
      2, qk, "", listindent);
  for (long j = 1; j <= NCV; ++j) listrow(j == 1 ? "c =   {{" : "       {", NUV, [&](long i) { return (*C)(i, j); }, j, NCV);
  IO::PUTROW(
      0, "div =  {", NUV,
      [](long i, std::string& line) {
        IO::ADDINT(static_cast<extended>(COMPDIV[i]), 3, line);
        IO::ADDSTR(i < NUV ? ", " : "};", 0, line);
      },
      2, qk, "", listindent);
  std::string& line = IO::OSTR;
  line.clear();
  IO::ADDSTR("(*", 0, line);
  IO::PUTROW(
      0, line, NCV + 1,
      [](long j, std::string& l) {
        if (j <= NCV)
          IO::ADDNAME(NAME[j], 5, l);
        else
          IO::ADDSTR("*)", 5, l);
      },
      2, qk, "", listindent);
  for (long k = 1; k <= NR; ++k) listrow(k == 1 ? "re = {{" : "      {", NCV, [&](long j) { return (*R)(k, j); }, k, NR);
}

}  // namespace

void CALCRE2(bool& found) {
  NR = 0;
  // 640 kB: made once, kept for the run.
  static std::unique_ptr<liemmatrix> a;
  if (!a) a = std::make_unique<liemmatrix>("calcre2 a");
  for (long i = 1; i <= NUV; ++i)
    for (long j = 1; j <= NCV; ++j) (*a)(i, j) = (*C)(i, j);
  ZQMATH1::NULLSPACE(*a, NUV, NCV);
  MAKERNSITE();
  if (NR == 0 && !DOGMIN) noreactions();
  if (NR > 0 && CONTROLJX.incnler == yes) listreactions();
  found = NR > 0;
}

void MAKERNSITE() {
  for (long k = NR + 1; k <= maxreac; ++k) RNSITE[k] = 1;
  for (long k = 1; k <= NR; ++k) {
    extended pos = 0, neg = 0;
    long c = 0;
    // The running column assumes the solution phases' end-members come
    // first, phase by phase, as the calculation lays them out.
    for (long j = 1; j <= NCV; ++j) {
      if (!STARTSS[j]) continue;
      const ptype1& ph = (*PREC1)[EM2SS[j]];
      for (long m = 1; m <= ph.nprop; ++m) {
        ++c;
        const smallint v = (*R)(k, c);
        if (v > 0) pos = pos + static_cast<extended>(v) * ph.em[m].nsite;
        if (v < 0) neg = neg + static_cast<extended>(v) * ph.em[m].nsite;
      }
    }
    extended n = std::nearbyint(std::sqrt(pos * pos + neg * neg));
    if (n < 1) n = 1;
    if (n > maxrnsite) n = maxrnsite;
    RNSITE[k] = static_cast<smallint>(n);
  }
}

void PRINTC() {
  constexpr longint ic = CHANNEL::DETAILS;
  // The compositions and their divisors, in as many blocks as the line's
  // length needs; the braced list going on in further lines.
  IO::PUTTABLE(
      NCV + 2, NUV,
      [](long row, std::string& line) {
        if (row == 1)
          line += "      ";
        else if (row <= NCV + 1)
          IO::ADDNAME(NAME[row - 1], -6, line);
        else
          line += "div   ";
      },
      [](long row, long i, std::string& line) {
        if (row == 1)
          IO::ADDNAME(COMPNAME[i], 6, line);
        else if (row <= NCV + 1)
          IO::ADDINT((*C)(i, row - 1), 6, line);
        else
          IO::ADDINT(COMPDIV[i], 6, line);
      },
      1, ic);
  IO::PUTSTR(0, "", 1, ic);
  for (long i = 1; i <= NUV; ++i)
    listrow(i == 1 ? "c =   {{" : "       {", NCV, [&](long j) { return (*C)(i, j); }, i, NUV, ic);
}

}  // namespace ZQRE
