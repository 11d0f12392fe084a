// Listings of a Jacobian: by blocks of free unknowns against the equations,
// and as a brace literal that other tools read back.
#include <algorithm>
#include <cmath>
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc2_nlefunc.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

namespace {

constexpr smallint labelwidth = 6;     // row labels and the head's indent
constexpr smallint blockspan = 246;    // width a block of cells may take
constexpr smallint maxblocks = 10;     // blocks of compositional unknowns listed
constexpr extended shownzero = 1e-10L;  // smaller entries show as "-" or "0"
constexpr smallint literalwidth = 9;   // cells of the brace literal

}  // namespace

void PRINTJAC(const sstring& title, const eqmatrix& j, smallint part, smallint places, bool fixed,
              smallint mask) {
  const smallint w = static_cast<smallint>(places + 9);
  const long perblock = blockspan / w;
  IO::PUTSTR(1, title, 1, mask);

  // Unknowns first..last that are free, with their Jacobian columns.
  ieqvector unknowns{"printjac unknowns"}, columns{"printjac columns"};
  auto freeof = [&](long first, long last) {
    long nf = 0, c = 0;
    for (long i = 1; i <= last; ++i) {
      if (!BX[i]) continue;
      ++c;
      if (i < first) continue;
      ++nf;
      unknowns[nf] = static_cast<smallint>(i);
      columns[nf] = static_cast<smallint>(c);
    }
    return nf;
  };
  auto label = [&](long row) {
    std::string line;
    if (row <= NR)
      IO::ADDINT(row, -labelwidth, line);
    else
      // The mass balance runs over the free components only.
      IO::ADDNAME(freecomponentname(row - NR), -labelwidth, line);
    return line;
  };
  // The rows against the free unknowns from..to of the lists, a block.
  auto block = [&](long from, long to, long firstrow, long lastrow) {
    std::string head = IO::BLANKSTRING(labelwidth);
    for (long k = from; k <= to; ++k) IO::ADDNAME(XNAME[unknowns[k]], w, head);
    IO::PUTSTR(0, head, 1, mask);
    for (long row = firstrow; row <= lastrow; ++row) {
      std::string line = label(row);
      for (long k = from; k <= to; ++k) {
        const extended v = j(row, columns[k]);
        if (std::fabs(v) >= shownzero)
          IO::ADDREAL(v, places, fixed, w, line);
        else
          IO::ADDSTR("-", w, line);
      }
      IO::PUTSTR(0, line, 1, mask);
    }
  };
  auto blocks = [&](long firstrow, long lastrow) {
    const long nf = freeof(1, NX);
    for (long b = 0; b < maxblocks && b * perblock < nf; ++b)
      block(b * perblock + 1, std::min(nf, (b + 1) * perblock), firstrow, lastrow);
  };

  if (part < 1) blocks(1, NR);
  if (part < 2) {
    IO::PUTSTR(0, "", 1, mask);
    blocks(NR + 1, JROW);
  }
  if (part < 3) {
    IO::PUTSTR(0, "", 1, mask);
    const long nf = freeof(NX + 1, NX + NXP);
    block(1, nf, NR + 1, JROW);
  }
}

void DEBUGPRINT(const eqmatrix& m, const std::string& title, smallint nrow, smallint ncol) {
  IO::PUTSTR(1, "(* " + title + " *)", 1, CHANNEL::TERMSUMLOG);
  for (long i = 1; i <= nrow; ++i) {
    std::string line = i == 1 ? "{{" : " {";
    for (long k = 1; k <= ncol; ++k) {
      if (k > 1) line += ",";
      const extended v = m(i, k);
      if (std::fabs(v) >= shownzero)
        IO::ADDREAL(v, 4, false, literalwidth, line);
      else
        IO::ADDSTR("0", literalwidth, line);
    }
    line += i == nrow ? "}}; " : "}, ";
    IO::PUTSTR(0, line, 1, CHANNEL::TERMSUMLOG);
  }
  IO::PUTSTR(0, "", 1, CHANNEL::TERMSUMLOG);
}

}  // namespace ZQCALC2
