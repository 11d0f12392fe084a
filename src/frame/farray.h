// Fixed-size arrays indexed over a fixed range, as the program's tables are.
// Every access is checked: an index from a file or an answer that falls
// outside the table ends the run with an internal-fault message naming the
// table, instead of reading or writing memory that is not the table's.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

[[noreturn]] void ARRAYINDEXFAULT(const char* name, long index, long lo, long hi);

template <class T, long LO, long HI>
struct farray {
  static_assert(HI >= LO, "empty array range");
  static constexpr long lo = LO;
  static constexpr long hi = HI;
  static constexpr std::size_t count = static_cast<std::size_t>(HI - LO + 1);

  std::array<T, count> data{};
  const char* name = "array";

  farray() = default;
  explicit farray(const char* n) : name(n) {}

  T& operator[](long i) {
    if (i < LO || i > HI) ARRAYINDEXFAULT(name, i, LO, HI);
    return data[static_cast<std::size_t>(i - LO)];
  }
  const T& operator[](long i) const {
    if (i < LO || i > HI) ARRAYINDEXFAULT(name, i, LO, HI);
    return data[static_cast<std::size_t>(i - LO)];
  }
  void fill(const T& v) { data.fill(v); }
  T* begin() { return data.data(); }
  T* end() { return data.data() + count; }
  const T* begin() const { return data.data(); }
  const T* end() const { return data.data() + count; }
};

// A two-dimensional table [L1..H1, L2..H2], accessed as m(i, j).
template <class T, long L1, long H1, long L2, long H2>
struct fmatrix {
  static_assert(H1 >= L1 && H2 >= L2, "empty matrix range");
  static constexpr long rows = H1 - L1 + 1;
  static constexpr long cols = H2 - L2 + 1;

  std::array<T, static_cast<std::size_t>(rows * cols)> data{};
  const char* name = "matrix";

  fmatrix() = default;
  explicit fmatrix(const char* n) : name(n) {}

  T& operator()(long i, long j) {
    check(i, j);
    return data[static_cast<std::size_t>((i - L1) * cols + (j - L2))];
  }
  const T& operator()(long i, long j) const {
    check(i, j);
    return data[static_cast<std::size_t>((i - L1) * cols + (j - L2))];
  }
  void fill(const T& v) { data.fill(v); }

 private:
  void check(long i, long j) const {
    if (i < L1 || i > H1) ARRAYINDEXFAULT(name, i, L1, H1);
    if (j < L2 || j > H2) ARRAYINDEXFAULT(name, j, L2, H2);
  }
};

// A table of records [1..HI] too large to hold whole: each record is made
// (value-initialised, as a whole table would hold it) the first time its
// number or a higher one is used, and kept, with its contents, until the
// table goes. A run pays for the records it uses; access is checked as in
// farray.
template <class T, long HI>
class growtable {
  static_assert(HI >= 1, "empty table");

 public:
  static constexpr long lo = 1;
  static constexpr long hi = HI;

  growtable() { records.reserve(static_cast<std::size_t>(HI)); }
  explicit growtable(const char* n) : growtable() { name = n; }

  T& operator[](long i) { return *at(i); }
  const T& operator[](long i) const { return *at(i); }
  // Records made so far: 1..made() exist.
  long made() const { return static_cast<long>(records.size()); }

  const char* name = "array";  // as the table's index faults have always named it

 private:
  T* at(long i) const {
    if (i < 1 || i > HI) ARRAYINDEXFAULT(name, i, 1, HI);
    while (made() < i) records.push_back(std::make_unique<T>());
    return records[static_cast<std::size_t>(i - 1)].get();
  }
  mutable std::vector<std::unique_ptr<T>> records;
};
