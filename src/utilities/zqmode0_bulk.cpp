// The bulk half of the conversion utility: a wt% oxide analysis of the rock
// into mole% of the system components, with its copy-back block in the log.
#include <string>

#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

const char* const bulkdashes = "%-----------------------------------------------------------";

// The row of the element/oxide table holding oxide name, 0 when none.
smallint oxiderow(const sstring& name) {
  for (smallint r = 1; r <= maxcomp; ++r)
    if (OXNAME[r] == name) return r;
  return 0;
}

// The first entry of the bulk line named name, 0 when none.
smallint bulkentry(const std::string& name) {
  for (smallint j = 1; j <= NCONVB; ++j)
    if (CONVOX[j] == name) return j;
  return 0;
}

// Appends an entry to the bulk line.
void appendentry(const std::string& name, extended amount) {
  if (NCONVB >= maxcomp) IO::ERROREXIT("makebulk", "too many oxides in the bulk", yourfault);
  ++NCONVB;
  CONVOX[NCONVB] = name;
  CONVBULK[NCONVB] = amount;
}

// The ferric iron of the Fe2O3 entry (already in moles of Fe2O3) goes to FeO
// and O, and the entry leaves the line. Without an FeO entry one is made, so
// that the iron is not lost.
void splitferric(smallint f) {
  const extended amount = CONVBULK[f];
  for (smallint j = f; j < NCONVB; ++j) {
    CONVOX[j] = CONVOX[j + 1];
    CONVBULK[j] = CONVBULK[j + 1];
  }
  --NCONVB;
  const smallint feo = bulkentry("FeO");
  if (feo > 0)
    CONVBULK[feo] += 2 * amount;
  else
    appendentry("FeO", 2 * amount);
  const smallint o = bulkentry("O");
  if (o > 0)
    CONVBULK[o] += amount;
  else
    appendentry("O", amount);
}

// The bulk table on terminal, summary and log, and the block in the log.
void printbulk(const cvector& amount, const farray<bool, 1, maxcomp>& given,
               const farray<sstring, 1, maxcomp>& typedox, const cvector& typedwt, smallint ntyped) {
  std::string& w = IO::WSTR;
  IO::PUTSTR(1, "_________________________", 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "bulk composition in mole%", 1, CHANNEL::TERMSUMLOG);
  // Names over amounts, in as many blocks as the line's length needs.
  IO::PUTTABLE(
      2, NUV, [](long, std::string&) {},
      [&](long r, long c, std::string& line) {
        if (r == 1)
          IO::ADDNAME(COMPNAME[c], 10, line);
        else if (given[c])
          IO::ADDREAL(amount[c], 4, true, 10, line);
        else
          IO::ADDSTR("??", 10, line);
      },
      0, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(1, "[ this bulk info is in scriptfile form in the logfile, ]", 2, CHANNEL::TERMINAL);
  IO::PUTSTR(1, "[ for copying into the scriptfile ]", 1, CHANNEL::LOG);
  IO::PUTSTR(0, bulkdashes, 1, CHANNEL::LOG);
  w = "bulk  ";
  for (smallint c = 1; c <= NUV; ++c) IO::ADDNAME(COMPNAME[c], 8, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = "bulk  ";
  for (smallint c = 1; c <= NUV; ++c) {
    if (given[c])
      IO::ADDREAL(amount[c], 3, true, 8, w);
    else
      IO::ADDSTR("??", 8, w);
  }
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  IO::PUTSTR(0, bulkdashes, 1, CHANNEL::LOG);
  IO::PUTSTR(0, "% bulk, in mole%, derived from the following analysis in wt%:", 1, CHANNEL::LOG);
  w = "%     ";
  for (smallint j = 1; j <= ntyped; ++j) IO::ADDNAME(typedox[j], 8, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  w = "%     ";
  for (smallint j = 1; j <= ntyped; ++j) IO::ADDREAL(typedwt[j], 2, true, 8, w);
  IO::PUTSTR(0, w, 1, CHANNEL::LOG);
  IO::PUTSTR(0, bulkdashes, 1, CHANNEL::LOG);
}

}  // namespace

void MAKEBULK() {
  if (NCONVB <= 0) return;
  const smallint ntyped = NCONVB;
  farray<sstring, 1, maxcomp> typedox{"typed oxides"};
  cvector typedwt{"typed wt"};
  for (smallint j = 1; j <= ntyped; ++j) {
    typedox[j] = CONVOX[j];
    typedwt[j] = CONVBULK[j];
  }
  for (smallint j = 1; j <= NCONVB; ++j) {
    const smallint r = oxiderow(CONVOX[j]);
    if (r > 0) CONVBULK[j] = CONVBULK[j] / MOLWT[r];
  }
  const smallint f = bulkentry("Fe2O3");
  if (f > 0) {
    CONVBULK[f] = CONVBULK[f] / (2 * MOLWT[oxiderow("FeO")] + MOLWT[oxiderow("O")]);
    splitferric(f);
  }
  // A component is given by its entry, whatever the sign of the amount;
  // the ones without an entry are shown as missing and left out of the sum.
  cvector amount{"bulk amount"};
  farray<bool, 1, maxcomp> given{"bulk component given"};
  farray<bool, 1, maxcomp> used{"bulk used"};
  for (smallint j = 1; j <= NCONVB; ++j) used[j] = false;
  extended sum = 0;
  for (smallint c = 1; c <= NUV; ++c) {
    amount[c] = 0;
    const smallint j = bulkentry(COMPNAME[c]);
    given[c] = j > 0;
    if (given[c]) {
      amount[c] = CONVBULK[j];
      used[j] = true;
      sum += amount[c];
    }
  }
  if (sum == 0) IO::ERROREXIT("makebulk", "the bulk composition sums to 0", yourfault);
  for (smallint c = 1; c <= NUV; ++c)
    if (given[c]) amount[c] = 100 * amount[c] / sum;
  std::string notice;
  for (smallint j = 1; j <= NCONVB; ++j) {
    if (used[j]) continue;
    notice += CONVOX[j] + "=";
    IO::ADDREAL(CONVBULK[j], 4, true, 0, notice);
    notice += "; ";
  }
  if (!notice.empty()) IO::PUTSTR(1, "ignoring, in the input bulk " + notice, 1, CHANNEL::TERMLOG);
  printbulk(amount, given, typedox, typedwt, ntyped);
}

}  // namespace ZQMODE0
