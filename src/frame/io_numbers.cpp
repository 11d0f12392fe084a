// Numbers to text and text to numbers, through a decimal record of sign,
// exponent and significant digits.
//
// Text to number is exact: the digits and the power of ten are taken as an
// exact rational and rounded once to the nearest extended (ties to even), so
// that "0.1" gives the same extended as the literal 0.1L and a long digit
// string is rounded correctly to its last bit. Powers of ten use the same
// path, so IO::TEN is right over the whole range of extended.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "frame/io.h"

namespace IO {

namespace {

// ---------------------------------------------------------------- exact integers
// A non-negative integer of any size, 32-bit limbs, least significant first,
// no leading zero limbs (zero is the empty vector).
struct bignum {
  std::vector<std::uint32_t> limb;

  void trim() {
    while (!limb.empty() && limb.back() == 0) limb.pop_back();
  }
  bool zero() const { return limb.empty(); }

  void muladd(std::uint32_t m, std::uint32_t a) {
    std::uint64_t carry = a;
    for (auto& l : limb) {
      const std::uint64_t t = static_cast<std::uint64_t>(l) * m + carry;
      l = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry != 0) limb.push_back(static_cast<std::uint32_t>(carry));
    trim();
  }

  long bits() const {
    if (limb.empty()) return 0;
    long n = static_cast<long>(limb.size() - 1) * 32;
    std::uint32_t top = limb.back();
    while (top != 0) {
      ++n;
      top >>= 1;
    }
    return n;
  }

  bool bit(long i) const {
    if (i < 0) return false;
    const auto w = static_cast<std::size_t>(i / 32);
    if (w >= limb.size()) return false;
    return ((limb[w] >> (i % 32)) & 1U) != 0;
  }

  // Whether any bit below position i is set.
  bool anybelow(long i) const {
    if (i <= 0) return false;
    const auto w = static_cast<std::size_t>(i / 32);
    for (std::size_t k = 0; k < w && k < limb.size(); ++k)
      if (limb[k] != 0) return true;
    if (w < limb.size() && (limb[w] & ((1U << (i % 32)) - 1U)) != 0) return true;
    return false;
  }

  // The bits from position i upwards, as a 64-bit integer (the caller knows
  // there are at most 64 of them).
  std::uint64_t from(long i) const {
    std::uint64_t r = 0;
    const long top = bits();
    for (long k = top - 1; k >= i && k >= 0; --k) r = (r << 1) | (bit(k) ? 1U : 0U);
    return r;
  }

  void shiftleft(long s) {
    if (s <= 0 || zero()) return;
    const auto words = static_cast<std::size_t>(s / 32);
    const int rest = static_cast<int>(s % 32);
    std::vector<std::uint32_t> r(limb.size() + words + 1, 0);
    for (std::size_t k = 0; k < limb.size(); ++k) {
      const std::uint64_t v = static_cast<std::uint64_t>(limb[k]) << rest;
      r[k + words] |= static_cast<std::uint32_t>(v);
      r[k + words + 1] |= static_cast<std::uint32_t>(v >> 32);
    }
    limb.swap(r);
    trim();
  }
};

int compare(const bignum& a, const bignum& b) {
  if (a.limb.size() != b.limb.size()) return a.limb.size() < b.limb.size() ? -1 : 1;
  for (std::size_t k = a.limb.size(); k-- > 0;)
    if (a.limb[k] != b.limb[k]) return a.limb[k] < b.limb[k] ? -1 : 1;
  return 0;
}

// a := a - b, for a >= b.
void subtract(bignum& a, const bignum& b) {
  std::int64_t borrow = 0;
  for (std::size_t k = 0; k < a.limb.size(); ++k) {
    std::int64_t t = static_cast<std::int64_t>(a.limb[k]) - borrow -
                     (k < b.limb.size() ? static_cast<std::int64_t>(b.limb[k]) : 0);
    borrow = t < 0 ? 1 : 0;
    if (t < 0) t += static_cast<std::int64_t>(1) << 32;
    a.limb[k] = static_cast<std::uint32_t>(t);
  }
  a.trim();
}

void multen(bignum& a, long n) {
  while (n >= 9) {
    a.muladd(1000000000U, 0);
    n -= 9;
  }
  std::uint32_t m = 1;
  while (n-- > 0) m *= 10;
  if (m != 1) a.muladd(m, 0);
}

// ---------------------------------------------------------------- rounding
// The layout of extended: 64 significant bits with the leading bit explicit,
// smallest subnormal 2^-16445, largest finite just below 2^16384.
constexpr int mantbits = 64;
constexpr long leastexp = -16445;
constexpr long maxbinexp = 16384;

// The extended nearest to (n + f) x 2^b, where 0 <= f < 1 and inexact says
// whether f > 0; n must carry at least mantbits + 2 bits whenever inexact is
// set, so that f only breaks ties.
extended roundbinary(const bignum& n, long b, bool inexact) {
  if (n.zero()) return 0.0L;
  const long len = n.bits();
  long drop = std::max<long>(len - mantbits, leastexp - b);
  std::uint64_t mant;
  if (drop <= 0) {
    mant = n.from(0);
    drop = 0;
  } else {
    mant = drop >= len ? 0 : n.from(drop);
    const bool half = n.bit(drop - 1);
    const bool rest = inexact || n.anybelow(drop - 1);
    if (half && (rest || (mant & 1U) != 0)) {
      ++mant;
      if (mant == 0) {  // carried out of 64 bits
        mant = static_cast<std::uint64_t>(1) << 63;
        ++drop;
      }
    }
  }
  if (mant == 0) return 0.0L;
  const long e = b + drop;
  int top = 0;
  for (std::uint64_t m = mant; m != 0; m >>= 1) ++top;
  if (e + top > maxbinexp) return HUGE_VALL;
  return std::ldexp(static_cast<extended>(mant), static_cast<int>(e));
}

// Decimal magnitudes beyond which the result is surely infinite or zero:
// 10^4933 exceeds the largest extended, and 10^-4952 is below half the
// smallest subnormal (about 1.8e-4951).
constexpr long decover = 4933;
constexpr long decunder = -4952;

// The extended nearest to digits x 10^e; the digits are decimal characters.
extended exactvalue(const std::string& digits, long e) {
  bignum s;
  long nd = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') continue;
    s.muladd(10, static_cast<std::uint32_t>(c - '0'));
    if (!s.zero()) ++nd;
  }
  if (s.zero()) return 0.0L;
  // Short digit strings with small exponents: both the digits and the power
  // of ten are exact extendeds, so one multiplication or division rounds
  // once, as the long path would.
  if (nd <= 19 && e >= -27 && e <= 27) {
    const extended v = static_cast<extended>(s.from(0));
    extended p = 1;
    for (long k = 0; k < std::labs(e); ++k) p *= 10;
    return e >= 0 ? v * p : v / p;
  }
  if (nd + e - 1 >= decover) return HUGE_VALL;
  if (nd + e <= decunder) return 0.0L;
  if (e >= 0) {
    multen(s, e);
    return roundbinary(s, 0, false);
  }
  // digits / 10^k: long division to mantbits + 3 quotient bits, the
  // remainder kept only as a sticky bit.
  bignum d;
  d.limb.push_back(1);
  multen(d, -e);
  long shift = (mantbits + 3) + d.bits() - s.bits();
  if (shift < 0) shift = 0;
  s.shiftleft(shift);
  const long qbits = s.bits() - d.bits() + 1;
  bignum q;
  for (long i = qbits - 1; i >= 0; --i) {
    bignum t = d;
    t.shiftleft(i);
    q.shiftleft(1);
    if (q.zero()) q.limb.clear();
    if (compare(s, t) >= 0) {
      subtract(s, t);
      if (q.zero())
        q.limb.push_back(1);
      else
        q.limb[0] |= 1U;
    }
  }
  return roundbinary(q, -shift, !s.zero());
}

// 10^n for the exponents printing uses, computed once.
constexpr int tablelow = -40;
constexpr int tablehigh = 40;
const std::array<extended, tablehigh - tablelow + 1>& tentable() {
  static const auto table = [] {
    std::array<extended, tablehigh - tablelow + 1> t{};
    for (int n = tablelow; n <= tablehigh; ++n) t[static_cast<std::size_t>(n - tablelow)] = exactvalue("1", n);
    return t;
  }();
  return table;
}

// The integer nearest to a non-negative m, ties to even, whatever the
// rounding mode of the machine.
extended nearesteven(extended m) {
  const extended f = std::floor(m);
  const extended r = m - f;
  if (r > 0.5L) return f + 1;
  if (r < 0.5L) return f;
  return std::fmod(f, 2.0L) == 0 ? f : f + 1;
}

std::string decimaldigits(unsigned long v) {
  if (v == 0) return "0";
  std::string s;
  while (v != 0) {
    s.insert(s.begin(), static_cast<char>('0' + v % 10));
    v /= 10;
  }
  return s;
}

const DecStr blanksig(20, ' ');

bool isseparator(char c) { return c == ' ' || c == '\t' || c == '\xCA'; }

}  // namespace

extended TEN(smallint n) {
  if (n >= tablelow && n <= tablehigh) return tentable()[static_cast<std::size_t>(n - tablelow)];
  return exactvalue("1", n);
}

void NUM2DEC(const DecForm& form, extended x, Decimal& d) {
  const extended a = std::fabs(x);
  d.sgn = 0;
  d.exp = 0;
  d.sig = "0";
  // A value that is no number cannot be shown either: taken as one below
  // the least shown, it would print as a plausible 0.
  if (std::isnan(x)) {
    d.sig = blanksig;
    return;
  }
  if (!(a >= 1e-12L)) return;
  if (x < 0) d.sgn = 1;
  if (a > 1e20L) {
    d.sig = blanksig;
    return;
  }
  extended m;
  if (form.style == DecStyle::FixedDecimal) {
    d.exp = static_cast<smallint>(-form.digits);
    m = a * TEN(form.digits);
  } else {
    const extended h = 0.55L * TEN(static_cast<smallint>(-form.digits));
    int k = 1;
    if (a < 1 - h) {
      while (k < 23 && std::floor(h + a * TEN(static_cast<smallint>(k))) < 1) ++k;
      d.exp = static_cast<smallint>(1 - k - form.digits);
    } else {
      while (k < 23 && std::floor(h + a / TEN(static_cast<smallint>(k))) != 0) ++k;
      d.exp = static_cast<smallint>(k - form.digits);
    }
    m = a * TEN(static_cast<smallint>(-d.exp));
  }
  if (!(m < 2147483646.0L)) {
    d.sig = blanksig;
    return;
  }
  d.sig = decimaldigits(static_cast<unsigned long>(nearesteven(m))).substr(0, sstringlength);
}

void DEC2STR(const DecForm& form, const Decimal& d, DecStr& s) {
  if (d.sig.size() == static_cast<std::size_t>(sstringlength)) {
    s = "?";
    return;
  }
  std::string t;
  if (!d.sig.empty() && d.sig[0] == ' ') {
    // A magnitude that cannot be shown: its digits stay blank, and so do the
    // point and the exponent, so that it reads as a gap and not as a number.
    t = d.sig;
  } else if (form.style == DecStyle::FixedDecimal) {
    t = d.sig;
    if (form.digits > 0 && t.size() < static_cast<std::size_t>(form.digits))
      t.insert(0, static_cast<std::size_t>(form.digits) - t.size(), '0');
    if (form.digits > 0) t.insert(t.size() - static_cast<std::size_t>(form.digits), ".");
    if (!t.empty() && t[0] == '.') t.insert(0, "0");
  } else {
    const long e = static_cast<long>(d.exp) + form.digits - 1;
    t = d.sig.substr(0, 1) + "." + (d.sig.size() > 1 ? d.sig.substr(1) : std::string());
    t += e < 1 ? "e-" : "e+";
    t += decimaldigits(static_cast<unsigned long>(std::labs(e)));
  }
  if (d.sgn == 1) t.insert(0, "-");
  s = t.substr(0, sstringlength);
}

void STR2DEC(const DecStr& s, smallint& index, Decimal& d, bool& valid) {
  (void)index;
  valid = false;
  d.sgn = 0;
  d.exp = 0;
  d.sig = "0";
  std::size_t i = 0, j = s.size();
  while (i < j && isseparator(s[i])) ++i;
  while (j > i && isseparator(s[j - 1])) --j;
  if (i == j) return;
  byte sgn = 0;
  if (s[i] == '-') {
    sgn = 1;
    ++i;
  }
  std::string sig;
  long f = 0;
  bool dot = false;
  for (; i < j && s[i] != 'e' && s[i] != 'E'; ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      sig += c;
      if (dot) ++f;
    } else if (c == '.' && !dot) {
      dot = true;
    } else {
      return;
    }
  }
  if (sig.empty()) return;  // "-", ".", "-.e5": no digit to stand for a number
  // The exponent is gathered as a long and held within bounds far beyond
  // any value an extended can take, so a long exponent text cannot wrap.
  long expval = 0;
  bool expneg = false;
  if (i < j) {
    ++i;  // the 'e'
    if (i < j && s[i] == '-') {
      expneg = true;
      ++i;
    }
    if (i == j) return;  // "1e", "1e-": the exponent has no digits
    for (; i < j; ++i) {
      const char c = s[i];
      if (c < '0' || c > '9') return;
      if (expval < 1000000) expval = expval * 10 + (c - '0');
    }
  }
  const std::size_t nz = sig.find_first_not_of('0');
  if (nz == std::string::npos) {
    // Zero, written any way, is zero.
    d.sgn = sgn;
    valid = true;
    return;
  }
  sig.erase(0, nz);
  long e = (expneg ? -expval : expval) - f;
  // A digit string longer than the record holds: trailing zeros go into the
  // exponent first, then the excess digits are dropped with the exponent
  // raised to match, so the value keeps its size.
  if (sig.size() > static_cast<std::size_t>(sstringlength)) {
    while (sig.size() > static_cast<std::size_t>(sstringlength) && sig.back() == '0') {
      sig.pop_back();
      ++e;
    }
    if (sig.size() > static_cast<std::size_t>(sstringlength)) {
      e += static_cast<long>(sig.size()) - sstringlength;
      sig.resize(static_cast<std::size_t>(sstringlength));
    }
  }
  // A value that an extended cannot hold, infinite or rounded away to zero,
  // is not a number the program can work with.
  if (e < INT16_MIN || e > INT16_MAX) return;
  const extended v = exactvalue(sig, e);
  if (std::isinf(v) || v == 0) return;
  d.sgn = sgn;
  d.exp = static_cast<smallint>(e);
  d.sig = sig;
  valid = true;
}

bool LASTPLACE(const std::string& number, int& place) {
  const std::size_t e = number.find_first_of("eE");
  const std::size_t point = number.find('.');
  place = 0;
  if (point == std::string::npos && e == std::string::npos) return false;
  long decimals = 0;
  if (point != std::string::npos && (e == std::string::npos || point < e))
    decimals = static_cast<long>((e == std::string::npos ? number.size() : e) - point - 1);
  // Digits past the bound cannot bring the place back within it, so the
  // exponent is gathered only that far and no exponent text can wrap it.
  const long enough = FARTHESTPLACE + decimals;
  long exponent = 0;
  bool negative = false;
  if (e != std::string::npos) {
    std::size_t i = e + 1;
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) negative = number[i++] == '-';
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
      if (exponent <= enough) exponent = exponent * 10 + (number[i] - '0');
  }
  const long at = (negative ? -exponent : exponent) - decimals;
  place = static_cast<int>(std::clamp(at, -FARTHESTPLACE, FARTHESTPLACE));
  return true;
}

extended DEC2NUM(const Decimal& d) {
  const extended v = exactvalue(d.sig, d.exp);
  return d.sgn == 1 ? -v : v;
}

std::string REAL2STR(extended x, smallint places, bool fixed) {
  if (!(std::fabs(x) >= 1e-12L) && !std::isnan(x)) return "0";
  Decimal d;
  DecForm form;
  DecStr s;
  if (fixed) {
    form.style = DecStyle::FixedDecimal;
    form.digits = places;
    NUM2DEC(form, x, d);
    if (d.sig.size() > static_cast<std::size_t>(places) + 5) {
      form.style = DecStyle::FloatDecimal;
      NUM2DEC(form, x, d);
    }
  } else {
    form.style = DecStyle::FloatDecimal;
    form.digits = places;
    NUM2DEC(form, x, d);
    if (-d.exp < places + 4 && d.exp < 2) {
      form.style = DecStyle::FixedDecimal;
      form.digits = static_cast<smallint>(std::max(0, -static_cast<int>(d.exp)));
      NUM2DEC(form, x, d);
    }
  }
  DEC2STR(form, d, s);
  if (!s.empty() && s[0] == ' ') s.erase(0, 1);
  return s;
}

std::string INT2STR(extended x) {
  DecForm form;
  form.style = DecStyle::FixedDecimal;
  form.digits = 0;
  Decimal d;
  DecStr s;
  NUM2DEC(form, x, d);
  DEC2STR(form, d, s);
  if (!s.empty() && s[0] == ' ') s.erase(0, 1);
  return s;
}

std::string FIXEDPOINT(extended x, int width, int places) {
  const char* word = std::isnan(x) ? NONUMBERTEXT : std::isinf(x) ? BEYONDRANGETEXT : nullptr;
  if (word != nullptr) {
    const std::string w = word;
    return w.size() >= static_cast<std::size_t>(std::max(width, 0))
               ? w
               : std::string(static_cast<std::size_t>(width) - w.size(), ' ') + w;
  }
  // Measured first, so that the text holds every digit however many.
  const int n = std::snprintf(nullptr, 0, "%*.*Lf", width, places, x);
  if (n <= 0) return std::string();
  std::string t(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(t.data(), t.size(), "%*.*Lf", width, places, x);
  t.resize(static_cast<std::size_t>(n));
  return t;
}

DecStr MAKESTR20(const std::string& s) { return s.substr(0, sstringlength); }

str5 MAKESTR5(const std::string& s) { return s.substr(0, 5); }

void ADDNO(extended x, smallint width, std::string& line) {
  const smallint n = NPLACES0(x);
  if (n == 0)
    ADDSTR(INT2STR(x), width, line);
  else
    ADDSTR(REAL2STR(x, std::min<smallint>(n, 8), true), width, line);
}

std::string EXPNO(extended x) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4Le", x);
  return text;
}

std::string ANYNO(extended x) {
  if (!(std::fabs(x) < WIDESTNO)) return EXPNO(x);
  std::string text;
  ADDNO(x, 0, text);
  return text;
}

NumClass CLASSREAL(extended x) { return x == 0 ? NumClass::ZeroNum : NumClass::NormalNum; }

}  // namespace IO
