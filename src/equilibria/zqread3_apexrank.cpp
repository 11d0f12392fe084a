// Whether the columns of a projection plane are independent: the first
// that is a combination of those before it, written as that combination.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "equilibria/zqread3.h"
#include "frame/io.h"

namespace ZQREAD3 {

namespace {

// A coefficient or a column this small counts as none: apex compositions
// are given to a few decimals.
constexpr extended deptol = 1e-8L;
constexpr smallint depplaces = 4;

// c (the coefficient of name) appended to a combination being written.
void term(extended c, const std::string& name, bool first, std::string& s) {
  if (c < 0)
    s += first ? "-" : " - ";
  else if (!first)
    s += " + ";
  const extended a = std::fabs(c);
  if (std::fabs(a - 1) > deptol) {
    // Four decimals at most, without trailing zeros.
    std::string n = IO::REAL2STR(a, depplaces, true);
    if (n.find('.') != std::string::npos) {
      n.erase(n.find_last_not_of('0') + 1);
      if (n.back() == '.') n.pop_back();
    }
    s += n + " ";
  }
  s += name;
}

}  // namespace

std::string APEXDEPENDENCY(const std::vector<std::vector<extended>>& cols, const std::vector<std::string>& names) {
  // Gauss-Jordan over the columns in turn; a column left with no pivot is
  // the combination its entries in the pivot rows give.
  const std::size_t nrows = cols.empty() ? 0 : cols[0].size();
  std::vector<std::vector<extended>> a = cols;
  std::vector<std::size_t> pivotrow, pivotcol;
  for (std::size_t j = 0; j < a.size(); ++j) {
    extended scale = 0;
    for (const extended v : cols[j]) scale = std::max(scale, std::fabs(v));
    std::size_t best = nrows;
    extended big = deptol * std::max<extended>(scale, 1);
    for (std::size_t r = 0; r < nrows; ++r) {
      bool used = false;
      for (const std::size_t p : pivotrow) used = used || p == r;
      if (!used && std::fabs(a[j][r]) > big) {
        big = std::fabs(a[j][r]);
        best = r;
      }
    }
    if (best == nrows) {
      std::string s = names[j] + " = ";
      bool first = true;
      for (std::size_t k = 0; k < pivotrow.size(); ++k) {
        const extended c = a[j][pivotrow[k]];
        if (std::fabs(c) <= deptol) continue;
        term(c, names[pivotcol[k]], first, s);
        first = false;
      }
      return first ? s + "0" : s;
    }
    // Column j becomes the unit vector of row best; the later columns follow.
    const std::vector<extended> pivot = a[j];
    for (std::size_t c = j; c < a.size(); ++c) {
      const extended f = a[c][best] / pivot[best];
      for (std::size_t r = 0; r < nrows; ++r)
        if (r != best) a[c][r] -= f * pivot[r];
      a[c][best] = f;
    }
    pivotrow.push_back(best);
    pivotcol.push_back(j);
  }
  return "";
}

}  // namespace ZQREAD3
