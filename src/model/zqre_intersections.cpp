// Candidate invariant points of calc mode 3: phase sets one larger than a
// reaction needs, recorded when three or more stored reactions meet in them;
// and the note of a new component subsystem in calc mode 2.
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqre.h"
#include "model/zqre_finder.h"

using namespace ZQGLOBAL;

namespace ZQRE {

void CALCPHASESI(const iemvector& ic, const bemvector& ph, bemvector& sel, bool& skip) {
  const smallint size = static_cast<smallint>(RANKC + 2);
  smallint no = 0, at = 1;
  for (smallint j = 1; j <= NNE; ++j) {
    sel[j] = ph[j];
    if (!ph[j]) continue;
    ++no;
    if (at <= size && ic[at] == no)
      ++at;
    else
      sel[j] = false;
  }
  const IO::longint3 s = FLAGSET(sel);
  skip = HOLDSEXEM(sel) || (NEX > 0 && HOLDSEXA(s));
  for (smallint n = 1; n <= NINT && !skip; ++n) skip = IO::BSUBSET2(IBIT[n], s);
}

void CALCI(const bemvector& sel) {
  const IO::longint3 s = FLAGSET(sel);
  farray<smallint, 1, maxreac> through{"calci reactions"};
  smallint m = 0;
  IO::longint3 all;
  for (smallint k = 1; k <= NR; ++k) {
    if (!IO::BSUBSET2(RBIT[k], s)) continue;
    through[++m] = k;
    all.w1 |= RBIT[k].w1;
    all.w2 |= RBIT[k].w2;
    all.w3 |= RBIT[k].w3;
  }
  if (m < 3) return;
  if (NINT >= maxint) IO::ERROREXIT("calci", "intersection table full", myfault);
  ++NINT;
  NIR[NINT] = m;
  for (smallint i = 1; i <= m; ++i) IR(NINT, i) = through[i];
  IBIT[NINT] = all;
}

void WRITESYSTEMINFO(const bcvector& ox, const bemvector& ph) {
  SUBINFOWRITTEN = true;
  if (!REHELP) {
    WRITEMARK('|');
    return;
  }
  NSYM = -1;
  std::string& line = IO::PSTR;
  line = "   ";
  for (smallint i = 1; i <= NU; ++i)
    if (ox[i]) line += COMPNAME[i] + " ";
  line += "- max " + IO::INT2STR(NRSUBTARGET - NRSUBOLD);
  line += " (" + IO::INT2STR(ONIR - NR) + ")";
  std::string news;
  for (smallint j = 1; j <= NNE; ++j) {
    if (!ph[j]) continue;
    bool isnew = true;
    for (smallint k = 1; k <= NR && isnew; ++k) isnew = (*R)(k, j) == 0;
    if (isnew) news += NAME[j] + " ";
  }
  line += news.empty() ? ", no new phases in this system" : ", " + news + " in this system";
  IO::PUTSTR(1, line, 1, CHANNEL::TERMLOG);
}

}  // namespace ZQRE
