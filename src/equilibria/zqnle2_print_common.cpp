// The plain fixed-point text, the point without system properties, the
// trace lines and the csv field writer of the point printers.
#include <cstdio>

#include "equilibria/zqnle2_print.h"
#include "frame/zqglobal_solver.h"

namespace ZQNLE2 {

std::string plainfixed(extended x, int d, int w) {
  char buf[128];
  const int n = std::snprintf(buf, sizeof buf, "%*.*Lf", w, d, x);
  if (n < 0 || n >= static_cast<int>(sizeof buf)) return std::string(static_cast<std::size_t>(w > 0 ? w : 1), '*');
  return buf;
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
