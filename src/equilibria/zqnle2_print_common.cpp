// The plain fixed-point text, the point without system properties, the
// trace lines and the csv field writer of the point printers.
#include <cstdio>
#include <vector>

#include "equilibria/zqnle2_print.h"
#include "frame/zqglobal_solver.h"
#include "model/zqcalc2.h"

namespace ZQNLE2 {

std::string plainfixed(extended x, int d, int w) { return IO::FIXEDPOINT(x, w, d); }

extended rowoneposition() {
  using ZQGLOBAL::SU;
  return SU.nmodeset > 0 && SU.firstmodeset > 0 ? SU.prop[ZQCALC2::MODEROWSTEP(1)] : SU.prop[1];
}

void rbimodes(farray<extended, 1, maxsu>& m) {
  using namespace ZQGLOBAL;
  extended given = 0, rebased = 0;
  for (smallint i = 1; i <= SU.nph; ++i) {
    const suphasetype& ph = SU.ph[i];
    m[i] = 0;
    if (!ph.hasmode) continue;
    extended all = 0, free = 0;
    for (smallint c = 1; c <= SU.nuv; ++c) {
      all += ph.comp[c] * ICOMP[c];
      if (BCOMPS[c]) free += ph.comp[c] * ICOMP[c];
    }
    m[i] = free != 0 && free != all ? ph.mode[1] * all / free : ph.mode[1];
    given += ph.mode[1];
    rebased += m[i];
  }
  // Kept to the sum the row had; with every component free nothing changes.
  if (rebased != 0 && rebased != given)
    for (smallint i = 1; i <= SU.nph; ++i) m[i] = m[i] * (given / rebased);
}

void putrbibulkline(const std::string& label, smallint step) {
  using namespace ZQGLOBAL;
  // The free components in order, matched to the headings of all of them.
  std::vector<smallint> bulkof(static_cast<std::size_t>(SU.nuv) + 1, 0);
  smallint f = 0;
  for (smallint c = 1; c <= SU.nuv; ++c)
    if (BCOMPS[c] && f < SU.nuvleft) bulkof[static_cast<std::size_t>(c)] = ++f;
  std::vector<std::string> lines = IO::FLOWROW(
      label, SU.nuv,
      [&](long c, std::string& line) {
        const smallint j = bulkof[static_cast<std::size_t>(c)];
        if (j > 0)
          IO::ADDREAL(100 * SU.bulk(step, j), 4, true, 12, line);
        else
          IO::ADDSTR("", 12, line);
      },
      "", "%" + std::string(22, ' '));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    lines[i].erase(lines[i].find_last_not_of(' ') + 1);
    IO::PUTSTR(0, lines[i], 1, CHANNEL::LOG);
  }
}

bool noproperties() { return rowproperties() && ZQGLOBAL::SU.nmodeset == 0; }

void whereat(const char* mark) {
  if (ZQGLOBAL::WHEREAT) IO::WRITETERMINAL(std::string(mark) + "\n");
}

void csvfield(int bit, const std::string& text, int w) {
  IO::textfile& f = IO::CHANNELFILE(bit);
  if (!IO::BTST(IO::WHATSOPEN, static_cast<smallint>(bit)) || f.f == nullptr) return;
  std::string field = text;
  if (w > 0 && static_cast<int>(field.size()) < w) field.insert(0, static_cast<std::size_t>(w) - field.size(), ' ');
  IO::WRITEFILE(f, field);
  if (bool* used = IO::CHANNELUSED(bit)) *used = true;
}

std::string csvname(const std::string& name) {
  if (name.find_first_of(",\"") == std::string::npos) return name;
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

}  // namespace ZQNLE2
