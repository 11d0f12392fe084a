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

// Closes row `row` of `last` rows of a braced list: "}," and out with one
// line end, or "}" and "};" with two after the last.
void endlistrow(long row, long last, longint mask, std::string& line) {
  if (row < last) {
    IO::ADDSTR("},", 0, line);
    IO::PUTSTR(0, line, 1, mask);
    line.clear();
  } else {
    IO::ADDSTR("}", 0, line);
    IO::ADDSTR("};", 0, line);
    IO::PUTSTR(0, line, 2, mask);
  }
}

// Entries of one braced row, integers right-justified in 3.
template <class Get>
void listrow(long n, Get get, std::string& line) {
  for (long l = 1; l <= n; ++l) {
    IO::ADDINT(static_cast<extended>(get(l)), 3, line);
    if (l < n) IO::ADDSTR(", ", 0, line);
  }
}

// The composition matrix and its divisors on the terminal, summary and log,
// for a user to see why the end-members gave no reaction.
void noreactions() {
  IO::PUTSTR(1, "** no reactions", 2, CHANNEL::TERMSUMLOG);
  PRINTC();
  std::string& line = IO::WSTR;
  for (long j = 1; j <= NCV; ++j) {
    line.clear();
    IO::ADDSTR(NAME[j], -6, line);
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
  std::string& line = IO::OSTR;
  IO::PUTSTR(0, "", 2, qk);

  line.clear();
  IO::ADDSTR("name = {", 0, line);
  for (long j = 1; j <= NCV; ++j) {
    IO::ADDSTR("\"", 0, line);
    IO::ADDSTR(NAME[j], 0, line);
    IO::ADDSTR(j < NCV ? "\"," : "\"};", 0, line);
  }
  IO::PUTSTR(0, line, 2, qk);

  line.clear();
  IO::ADDSTR("c =   {", 0, line);
  for (long j = 1; j <= NCV; ++j) {
    IO::ADDSTR(j == 1 ? "{" : "       {", 0, line);
    listrow(NUV, [&](long i) { return (*C)(i, j); }, line);
    endlistrow(j, NCV, qk, line);
  }

  line.clear();
  IO::ADDSTR("div =  {", 0, line);
  listrow(NUV, [&](long i) { return COMPDIV[i]; }, line);
  IO::ADDSTR("};", 0, line);
  IO::PUTSTR(0, line, 2, qk);

  line.clear();
  IO::ADDSTR("(*", 0, line);
  for (long j = 1; j <= NCV; ++j) IO::ADDSTR(NAME[j], 5, line);
  IO::ADDSTR("*)", 5, line);
  IO::PUTSTR(0, line, 2, qk);

  line.clear();
  IO::ADDSTR("re = {", 0, line);
  for (long k = 1; k <= NR; ++k) {
    IO::ADDSTR(k == 1 ? "{" : "      {", 0, line);
    listrow(NCV, [&](long j) { return (*R)(k, j); }, line);
    endlistrow(k, NR, qk, line);
  }
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
  std::string& line = IO::ISTR;
  line = "      ";
  for (long i = 1; i <= NUV; ++i) IO::ADDSTR(COMPNAME[i], 6, line);
  IO::PUTSTR(1, line, 1, ic);
  for (long j = 1; j <= NCV; ++j) {
    line.clear();
    IO::ADDSTR(NAME[j], -6, line);
    for (long i = 1; i <= NUV; ++i) IO::ADDINT((*C)(i, j), 6, line);
    IO::PUTSTR(0, line, 1, ic);
  }
  line = "div   ";
  for (long i = 1; i <= NUV; ++i) IO::ADDINT(COMPDIV[i], 6, line);
  IO::PUTSTR(0, line, 2, ic);

  line.clear();
  IO::ADDSTR("c =   {", 0, line);
  for (long i = 1; i <= NUV; ++i) {
    IO::ADDSTR(i == 1 ? "{" : "       {", 0, line);
    listrow(NCV, [&](long j) { return (*C)(i, j); }, line);
    endlistrow(i, NUV, ic, line);
  }
}

}  // namespace ZQRE
