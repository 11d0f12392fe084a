// The data-set reader's word reader of an end-member name: kept for files
// that give names in fixed 8-character fields. The current readers take
// whole words instead, so nothing calls it.
#include <cstdio>

#include "input/zqread1.h"

namespace ZQREAD1 {

namespace {
constexpr int NAMEFIELD = 8;  // characters a fixed-field name holds
}

void READNAME(IO::textfile& f, sstring& name) {
  name.assign(NAMEFIELD, ' ');
  if (f.f == nullptr) return;
  int taken = 0;
  while (taken < NAMEFIELD) {
    const int ch = std::fgetc(f.f);
    if (ch == EOF) return;
    // A line end reads as a blank, as a character read at the end of a line does.
    const bool blank = ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
    if (blank) {
      if (taken > 0) return;
      continue;
    }
    name[static_cast<std::size_t>(taken)] = static_cast<char>(ch);
    ++taken;
  }
}

}  // namespace ZQREAD1
