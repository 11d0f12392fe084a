// Whether the lists of a drawing data file are whole: its braces, outside
// quoted names and (* *) comments, close as they open and never close one
// more than is open.
#pragma once

#include <string>

namespace e2e {

inline bool balanced(const std::string& qk) {
  long depth = 0;
  for (std::size_t i = 0; i < qk.size(); ++i) {
    if (qk[i] == '"') {
      i = qk.find('"', i + 1);
      if (i == std::string::npos) return false;
    } else if (qk.compare(i, 2, "(*") == 0) {
      i = qk.find("*)", i + 2);
      if (i == std::string::npos) return false;
      ++i;
    } else if (qk[i] == '{') {
      ++depth;
    } else if (qk[i] == '}' && --depth < 0) {
      return false;
    }
  }
  return depth == 0;
}

}  // namespace e2e
