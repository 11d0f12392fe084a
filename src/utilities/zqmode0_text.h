// Text helpers of the utilities: the lists that the tables write on the
// drawing data file, in the notation of a computer-algebra system.
#pragma once

#include <cstdio>
#include <string>

#include "frame/io.h"

namespace ZQMODE0 {

// Values in fields, separated by commas, wrapped after every twelfth.
class LISTWRITER {
 public:
  // A list whose first line begins with opening and whose continuation
  // lines begin with indent; before: line ends before its first line.
  LISTWRITER(const std::string& opening, const std::string& indent, smallint before = 1)
      : line_(opening), indent_(indent), before_(before) {}
  // Appends value right-justified in width, then "," or, for the last
  // value, closing, after which the list is written out.
  void add(const std::string& value, smallint width, bool last, const std::string& closing) {
    IO::ADDSTR(value, width, line_);
    if (last) {
      IO::PUTSTR(before_, line_ + closing, 1, CHANNEL::DRAWING);
      return;
    }
    line_ += ",";
    if (++count_ % perline == 0) {
      IO::PUTSTR(before_, line_, 1, CHANNEL::DRAWING);
      before_ = 0;
      line_ = indent_;
    }
  }

 private:
  static constexpr long perline = 12;
  std::string line_;
  std::string indent_;
  smallint before_;
  long count_ = 0;
};

}  // namespace ZQMODE0
