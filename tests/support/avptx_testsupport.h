// Runs of the avPT+ driver on the linear fixture with the crossover
// search (the settings, a run with typed answers and its csv file, readers
// of the printed lines), and a state over a made table of calculations
// whose single solves answer from the table.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "avptplus_testsupport.h"
#include "iotestsupport.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace avptxtest {

using namespace ZQGLOBAL;

inline const std::string degc = "\xA1"
                                "C";

// The linear fixture with the crossover search and the calculation window
// 4..8 kbar, 500..700 C.
inline void setup(smallint kind = 1) {
  avpttest::setuplinear();
  AVPTALGO = 2;
  AVPTCALCTYPE = kind;
  PLOW = 4, PHIGH = 8;
  TLOW = 500 + 273.15L, THIGH = 700 + 273.15L;
  IO::CONTROLIO.pagewidth = 250;
}

struct run {
  std::string out, end, csv;
};

inline run driver(const std::string& answers) {
  run r;
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::CSVBIT, "samples.csv");
  r.end = testsupport::answered(answers, [] { ZQNLE4::AVPTPLUSDRIVER(); }, r.out);
  if (IO::CSVFILE.f != nullptr) std::fclose(IO::CSVFILE.f);
  IO::CSVFILE.f = nullptr;
  IO::WHATSOPEN = 1;
  r.csv = dir.read("samples.csv");
  return r;
}

// Each wanted line, whole, after the one before it.
inline void inorder(const std::string& out, const std::vector<std::string>& wanted) {
  const std::vector<std::string> got = testsupport::lines(out);
  std::size_t at = 0;
  for (const std::string& w : wanted) {
    while (at < got.size() && got[at] != w) ++at;
    ASSERT_LT(at, got.size()) << "missing or out of order: " << w << "\n" << out;
    ++at;
  }
}

// The numbers of the first line that starts with label.
inline std::vector<double> numbers(const std::string& out, const std::string& label) {
  std::vector<double> v;
  for (const std::string& l : testsupport::lines(out))
    if (l.rfind(label, 0) == 0) {
      std::istringstream in(l.substr(label.size()));
      for (double x = 0; in >> x;) v.push_back(x);
      break;
    }
  return v;
}


using ZQNLE4::avptplusstate;

// ---------------------------------------------------------------- made solves

// What the made solve answers for each stored calculation.
struct made {
  extended p, t;  // the calculation's own P (kbar) and T (degrees C)
  extended sp, st;  // the solved P and T
  bool ok = true;
};
inline std::vector<made> table;
inline int solves = 0;

inline bool madesolve(avptplusstate& s, smallint k, extended& p, extended& t, extended& sigfit) {
  ++solves;
  const made& m = table.at(static_cast<std::size_t>(k - 1));
  const bool movep = !s.AVTPLUS, movet = !s.AVPPLUS;
  if (movep) p = m.ok ? m.sp : 0;
  if (movet) t = m.ok ? m.st : 0;
  sigfit = m.ok ? 1 : 0;
  return m.ok;
}

// A fresh state over the made table, avP+ (kind 2), avT+ (3) or avPT+ (1).
inline std::unique_ptr<avptplusstate> fresh(int kind, const std::vector<made>& rows) {
  testsupport::freshstate();
  IO::CONTROLIO.pagewidth = 250;  // the terminal shows the trace rows whole
  ALLOCATEJXCALC();
  table = rows;
  solves = 0;
  NJX = static_cast<smallint>(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    (*JXCALC)[static_cast<long>(i + 1)].p = rows[i].p;
    (*JXCALC)[static_cast<long>(i + 1)].t = rows[i].t;
  }
  AVPGUESS = 6;
  AVTGUESS = 600;
  AVPFIXEDT = 600;
  AVTFIXEDP = 6;
  CPINC = 1;
  AVPTALGO = 2;
  auto s = std::make_unique<avptplusstate>();
  s->AVPPLUS = kind == 2;
  s->AVTPLUS = kind == 3;
  s->SOLVESEAM = madesolve;
  return s;
}

// Blocks of two calculations (500 and 700 degrees C) at each P, all solved
// at T st and at the P of solvedp for their block.
inline std::vector<made> blocks(const std::vector<extended>& ps, const std::vector<extended>& solvedp, extended st = 620) {
  std::vector<made> rows;
  for (std::size_t b = 0; b < ps.size(); ++b)
    for (extended t : {500.0L, 700.0L}) rows.push_back({ps[b], t, solvedp[b], st});
  return rows;
}

}  // namespace avptxtest
