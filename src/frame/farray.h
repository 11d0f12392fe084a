// Fixed-size arrays indexed over a fixed range, as the program's tables are.
// Every access is checked: an index from a file or an answer that falls
// outside the table ends the run with an internal-fault message naming the
// table, instead of reading or writing memory that is not the table's.
#pragma once

#include <algorithm>
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
  // A copy holds the records made so far; one not made in the source is
  // blank in the copy, as a whole table's copy would hold it.
  growtable(const growtable& from) : growtable() {
    name = from.name;
    for (long i = 1; i <= from.made(); ++i) records.push_back(std::make_unique<T>(from[i]));
  }
  growtable& operator=(const growtable& from) {
    if (this == &from) return *this;
    name = from.name;
    for (long i = 1; i <= from.made(); ++i) (*this)[i] = from[i];
    for (long i = from.made() + 1; i <= made(); ++i) (*this)[i] = T();
    return *this;
  }

  T& operator[](long i) { return *at(i); }
  const T& operator[](long i) const { return *at(i); }
  // Records made so far: 1..made() exist.
  long made() const { return static_cast<long>(records.size()); }
  // Every record given back: each is made anew when next used.
  void clear() { records.clear(); }

  const char* name = "array";  // as the table's index faults have always named it

 private:
  T* at(long i) const {
    if (i < 1 || i > HI) ARRAYINDEXFAULT(name, i, 1, HI);
    while (made() < i) records.push_back(std::make_unique<T>());
    return records[static_cast<std::size_t>(i - 1)].get();
  }
  mutable std::vector<std::unique_ptr<T>> records;
};

// A matrix [1..H1, 1..H2] too large to hold whole, accessed as fmatrix is:
// it holds a block of rows 1..r and columns 1..c, which grows the first time
// an entry outside it is used (to twice its rows or columns, or up to the
// entry, within the matrix's range, so that filling it moves the contents a
// few times only) and is kept, with its contents, until the matrix goes. An
// entry first used reads as a whole matrix's would: value-initialised, or
// the value of the last fill. Growing moves the entries: extend(r, c) makes
// the block ready before references into it are kept. Access is checked
// as in fmatrix.
template <class T, long H1, long H2>
class growmatrix {
  static_assert(H1 >= 1 && H2 >= 1, "empty matrix range");

 public:
  // Rows 1..r and columns 1..c of the block, for loops that use no entry
  // outside them: a view cannot grow, so its place and shape stay in
  // registers where the matrix's would be read again at every entry. An
  // index outside the view stops the run, naming the matrix.
  class view {
   public:
    T& operator()(long i, long j) const {
      if (static_cast<unsigned long>(i - 1) >= static_cast<unsigned long>(r)) ARRAYINDEXFAULT(name, i, 1, r);
      if (static_cast<unsigned long>(j - 1) >= static_cast<unsigned long>(c)) ARRAYINDEXFAULT(name, j, 1, c);
      return p[static_cast<std::size_t>((i - 1) * stride + (j - 1))];
    }

   private:
    friend class growmatrix;
    view(T* first, long rowlength, long nr, long nc, const char* n)
        : p(first), stride(rowlength), r(nr), c(nc), name(n) {}
    T* const p;
    const long stride, r, c;
    const char* const name;
  };

  growmatrix() = default;
  explicit growmatrix(const char* n) : name(n) {}

  T& operator()(long i, long j) { return *at(i, j); }
  const T& operator()(long i, long j) const { return *at(i, j); }
  void fill(const T& v) {
    blank = v;
    std::fill(cells.begin(), cells.end(), v);
  }
  // The block made to hold rows 1..r and columns 1..c at least.
  void extend(long r, long c) { at(r, c); }
  // The same, and a view of those rows and columns; it holds while the
  // block does not grow.
  view block(long r, long c) {
    extend(r, c);
    return view(cells.data(), ncols, r, c, name);
  }
  // The block made so far: rows 1..maderows(), columns 1..madecols().
  long maderows() const { return nrows; }
  long madecols() const { return ncols; }

  const char* name = "matrix";

 private:
  // Inside the block is inside the matrix's range: one test each way on
  // the hot path, the range checked only on the way out of the block.
  T* at(long i, long j) const {
    if (static_cast<unsigned long>(i - 1) >= static_cast<unsigned long>(nrows) ||
        static_cast<unsigned long>(j - 1) >= static_cast<unsigned long>(ncols)) [[unlikely]]
      outside(i, j);
    return &cells[static_cast<std::size_t>((i - 1) * ncols + (j - 1))];
  }
  [[gnu::cold, gnu::noinline]] void outside(long i, long j) const {
    if (i < 1 || i > H1) ARRAYINDEXFAULT(name, i, 1, H1);
    if (j < 1 || j > H2) ARRAYINDEXFAULT(name, j, 1, H2);
    grow(i, j);
  }
  void grow(long i, long j) const {
    const long r = i > nrows ? std::min(H1, std::max(i, 2 * nrows)) : nrows;
    const long c = j > ncols ? std::min(H2, std::max(j, 2 * ncols)) : ncols;
    std::vector<T> moved(static_cast<std::size_t>(r * c), blank);
    for (long p = 0; p < nrows; ++p)
      for (long q = 0; q < ncols; ++q)
        moved[static_cast<std::size_t>(p * c + q)] = std::move(cells[static_cast<std::size_t>(p * ncols + q)]);
    cells.swap(moved);
    nrows = r;
    ncols = c;
  }
  mutable std::vector<T> cells;
  mutable long nrows = 0, ncols = 0;
  T blank{};
};
