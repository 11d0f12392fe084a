// Exact signs of the cross and dot products of two differences of
// positions: which side of a line a position lies on, and the order of
// ways round a place, answered for the numbers as read however near the
// positions lie. A rounded product decides where its error cannot change
// the sign; otherwise the sum is carried exactly in parts.
#include <cmath>

#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

// A rounded product this far from zero, as a share of the terms it came
// from, has the sign of the exact one: some thousand times the rounding
// of the few operations before it.
constexpr extended sureshare = 1e-16L;

// A sum held exactly as parts that do not overlap, the smallest first: the
// largest part that is not zero gives its sign.
struct exactsum {
  static constexpr int room = 40;
  extended part[room] = {};
  int n = 0;

  void add(extended b) {
    int m = 0;
    extended q = b;
    for (int i = 0; i < n; ++i) {
      const extended s = q + part[i];
      const extended bv = s - q;
      const extended av = s - bv;
      const extended e = (q - av) + (part[i] - bv);
      q = s;
      if (e != 0) part[m++] = e;
    }
    part[m++] = q;
    n = m;
  }
  // a * b added exactly: the rounded product and what rounding left out.
  void addproduct(extended a, extended b) {
    const extended p = a * b;
    add(std::fma(a, b, -p));
    add(p);
  }
  int sign() const {
    for (int i = n - 1; i >= 0; --i)
      if (part[i] != 0) return part[i] > 0 ? 1 : -1;
    return 0;
  }
  // The sum rounded once more: the small parts first, so that none is lost
  // before the large ones cancel.
  extended value() const {
    extended v = 0;
    for (int i = 0; i < n; ++i) v += part[i];
    return v;
  }
};

// a - b as a rounded difference and what rounding left out.
struct difference {
  extended hi = 0, lo = 0;
  difference(extended a, extended b) : hi(a - b) {
    const extended bv = a - hi;
    const extended av = hi + bv;
    lo = (a - av) + (bv - b);
  }
};

// u v + s w z for the differences given, s = 1 or -1, held exactly.
exactsum productsum(const difference& u, const difference& v, const difference& w, const difference& z, int s) {
  exactsum sum;
  const extended us[2] = {u.hi, u.lo}, vs[2] = {v.hi, v.lo}, ws[2] = {w.hi, w.lo}, zs[2] = {z.hi, z.lo};
  for (const extended a : us)
    for (const extended b : vs) sum.addproduct(a, b);
  for (const extended a : ws)
    for (const extended b : zs) sum.addproduct(s > 0 ? a : -a, b);
  return sum;
}

// The sign of u v + s w z for the differences given, s = 1 or -1.
int productsign(const difference& u, const difference& v, const difference& w, const difference& z, int s) {
  const extended uv = u.hi * v.hi, wz = w.hi * z.hi;
  const extended guess = s > 0 ? uv + wz : uv - wz;
  if (std::fabs(guess) > sureshare * (std::fabs(uv) + std::fabs(wz))) return guess > 0 ? 1 : -1;
  return productsum(u, v, w, z, s).sign();
}

}  // namespace

int CROSSSIGN(extended ax, extended ay, extended bx, extended by, extended cx, extended cy, extended dx,
              extended dy) {
  return productsign(difference(bx, ax), difference(dy, cy), difference(by, ay), difference(dx, cx), -1);
}

extended CROSSVALUE(extended ax, extended ay, extended bx, extended by, extended cx, extended cy, extended dx,
                    extended dy) {
  return productsum(difference(bx, ax), difference(dy, cy), difference(by, ay), difference(dx, cx), -1).value();
}

int DOTSIGN(extended ax, extended ay, extended bx, extended by, extended cx, extended cy, extended dx,
            extended dy) {
  return productsign(difference(bx, ax), difference(dx, cx), difference(by, ay), difference(dy, cy), 1);
}

}  // namespace ZQPLTX
