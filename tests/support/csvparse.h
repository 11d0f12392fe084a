// A plain reader of the program's csv files for the tests: rows end with
// LF, cells are split at commas, a cell between double quotes may hold
// commas and doubled quotes. Nothing is trimmed: the blank after a comma
// and the padding belong to the next cell.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace csvparse {

using row = std::vector<std::string>;

// The rows of a whole file; a text not ending in LF has an unfinished last
// row, which is returned too and flagged in complete.
inline std::vector<row> rows(const std::string& text, bool* complete = nullptr) {
  std::vector<row> out;
  row cur;
  std::string cell;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    any = true;
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cur.push_back(cell);
      cell.clear();
    } else if (c == '\n') {
      cur.push_back(cell);
      out.push_back(cur);
      cur.clear();
      cell.clear();
      any = false;
    } else {
      cell += c;
    }
  }
  if (complete != nullptr) *complete = !any;
  if (any) {
    cur.push_back(cell);
    out.push_back(cur);
  }
  return out;
}

// A cell as a number: leading blanks allowed, nothing after the number.
inline bool number(const std::string& cell, long double& x) {
  const char* s = cell.c_str();
  char* end = nullptr;
  x = std::strtold(s, &end);
  return end != s && *end == '\0';
}

}  // namespace csvparse
