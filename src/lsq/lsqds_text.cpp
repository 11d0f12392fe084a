// Text of calc mode 9: reaction lines, comments made ready for writing,
// fixed-point numbers, and the checked building of the files it writes.
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "frame/io.h"
#include "lsq/lsqds.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds_fields.h"

namespace LSQDS {

std::string FIXEDTEXT(extended x, smallint places) {
  IO::DecForm form;
  form.style = IO::DecStyle::FixedDecimal;
  form.digits = places;
  IO::Decimal d;
  IO::NUM2DEC(form, x, d);
  std::string t;
  if (!d.sig.empty() && d.sig[0] == ' ') {
    // Beyond the digits the decimal record carries: the C library writes
    // it, every digit, so the file still holds the value and not a gap.
    t = IO::FIXEDPOINT(x, 0, places);
  } else {
    IO::DEC2STR(form, d, t);
    if (!t.empty() && t[0] == ' ') t.erase(0, 1);
  }
  if (!t.empty() && t[0] == '-' && t.find_first_not_of("-0.") == std::string::npos) t.erase(0, 1);
  return t;
}

void fileimage::checked(extended x, const std::string& field) const {
  if (!std::isfinite(x))
    IO::ERROREXIT(where, field + " of " + record + " is not a finite number: data set not written",
                  yourfault);
}

void fileimage::place(const std::string& t, smallint width) {
  const long len = static_cast<long>(t.size());
  if (!line.empty() && line.back() != ' ' && len >= width) line += ' ';
  if (width > len) line += std::string(static_cast<std::size_t>(width - len), ' ');
  line += t;
}

void fileimage::real(extended x, smallint places, smallint width, const std::string& field) {
  checked(x, field);
  place(FIXEDTEXT(x, places), width);
}

void fileimage::integer(extended x, smallint width, const std::string& field) {
  checked(x, field);
  place(IO::INT2STR(x), width);
}

void fileimage::eol() {
  lines.push_back(line);
  line.clear();
}

void fileimage::write(const std::string& name) {
  IO::FILENAME = IO::OPENOUTFILE(name, ATEXT1);
  ATEXT1OPEN = true;
  for (const std::string& l : lines) {
    const std::string out = l + "\n";
    IO::WRITEFILE(ATEXT1, out);
  }
  IO::FILECLOSE(ATEXT1, true, IO::MAKESSTRING(IO::FILENAME));
  ATEXT1OPEN = false;
}

bool FIRSTTERMOF(const ilvector& em, smallint k) {
  for (smallint j = 1; j < k; ++j)
    if (em[j] == em[k]) return false;
  return true;
}

namespace {

// The coefficients of term k's end-member over terms 1..n, added in a type
// that holds any sum of them.
long summed(const ilvector& coef, const ilvector& em, smallint n, smallint k) {
  long sum = 0;
  for (smallint j = 1; j <= n; ++j)
    if (em[j] == em[k]) sum += coef[j];
  return sum;
}

}  // namespace

smallint NETCOEF(const ilvector& coef, const ilvector& em, smallint n, smallint k) {
  const long sum = summed(coef, em, n, k);
  // The readers refuse a reaction whose sums a coefficient cannot hold.
  IO::INTERNALCHECK(std::labs(sum) <= std::numeric_limits<smallint>::max(), "netcoef",
                    "a sum of coefficients beyond a coefficient's range");
  return static_cast<smallint>(sum);
}

smallint COEFSUM(long sum, const ilvector& coef, const ilvector& em, smallint n, smallint k,
                 const std::string& what) {
  // Symmetric, so that a row may also hold the sum negated.
  if (std::labs(sum) <= std::numeric_limits<smallint>::max()) return static_cast<smallint>(sum);
  std::string terms;
  for (smallint j = 1; j <= n; ++j)
    terms += (j > 1 ? ", " : "") + IO::INT2STR(coef[j]) + " " + IO::TRIMSTRING(ZQGLOBAL::PHNAMES[em[j]]);
  IO::ERROREXIT("readxy",
                "the coefficients of " + IO::TRIMSTRING(ZQGLOBAL::PHNAMES[em[k]]) + " in " + what + " (" + terms +
                    ") add up to " + IO::INT2STR(sum) + ", beyond the " +
                    IO::INT2STR(std::numeric_limits<smallint>::max()) + " a coefficient holds",
                yourfault);
}

void CHECKCOEFSUMS(const ilvector& coef, const ilvector& em, smallint n, const std::string& what) {
  for (smallint k = 1; k <= n; ++k) COEFSUM(summed(coef, em, n, k), coef, em, n, k, what);
}

str255 MAKERELINE(const ilvector& coef, const ilvector& em, smallint n) {
  std::string line;
  for (int pass = 1; pass <= 2; ++pass) {
    bool first = true;
    for (smallint i = 1; i <= n; ++i) {
      if (!FIRSTTERMOF(em, i)) continue;
      const smallint c = NETCOEF(coef, em, n, i);
      if (c == 0 || (pass == 1) != (c < 0)) continue;
      if (!first) IO::ADDSTR(" + ", 0, line);
      first = false;
      if (std::abs(c) != 1) IO::ADDINT(std::abs(c), 0, line);
      IO::ADDSTR(ZQGLOBAL::PHNAMES[em[i]], 0, line);
    }
    if (pass == 1) IO::ADDSTR(" = ", 0, line);
  }
  return line;
}

str255 TSTR(const std::string& s) {
  if (s.size() <= 1) return str255();
  std::string t = IO::TRIMSTRING(s);
  if (!t.empty() && t[0] == '{') {
    t.erase(0, 1);
    if (!t.empty() && t.back() == '}') t.pop_back();
  } else if (!t.empty() && t[0] == '%') {
    t.erase(0, std::min<std::size_t>(2, t.size()));
  }
  return t;
}

}  // namespace LSQDS
