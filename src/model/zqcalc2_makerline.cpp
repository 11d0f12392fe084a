// The text of a reaction.
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc2.h"

using namespace ZQGLOBAL;

namespace ZQCALC2 {

void MAKERLINE(smallint k) {
  // The end-member of an ln a variable is shown by its printable label.
  auto label = [](long j) -> const sstring& {
    for (long v = 1; v <= NLNA; ++v) {
      smallint pos = 0;
      if (IO::MATCHSTRING(LNANAME[v], NAME, NCV, pos) && pos == j) return LNANAMEP[v];
    }
    return NAME[j];
  };
  // Built whole, however long: a reaction is never shown cut; where it
  // stands in a row, the row goes on in the next line instead.
  std::string line = IO::INT2STR(k) + ")  ";
  auto side = [&](int sign) {
    bool first = true;
    for (long j = 1; j <= NCV; ++j) {
      const long nu = sign * (*R)(k, j);
      if (nu <= 0) continue;
      if (!first) line += " + ";
      first = false;
      if (nu != 1) line += IO::INT2STR(static_cast<extended>(nu));
      line += label(j);
    }
  };
  side(-1);
  line += " = ";
  side(1);
  if (static_cast<long>(line.size()) > INDENTR) INDENTR = static_cast<smallint>(line.size() + 1);
  RLINES[k] = line;
}

}  // namespace ZQCALC2
