// Lines longer than a line's usual length, as names of the longest length
// the readers keep make them: the program writes them whole, and reads the
// ones it writes itself back whole.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "assemblage_testsupport.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "model/zqnle3.h"
#include "zqpltx_testsupport.h"

using namespace ZQGLOBAL;

namespace {

// n names of 22 characters, the longest a reader keeps: p01www.., p02www..
std::string longname(char first, int k) {
  return first + std::string(k < 10 ? "0" : "") + std::to_string(k) + std::string(19, 'w');
}

// A line record of the drawing data whose heading names 13 phases of 22
// characters (one line of 312) is read with every phase, as it is when the
// heading stands on two lines.
TEST(LongLines, DrawingRecordHeadingOfLongNamesReadsEveryPhase) {
  std::string heading = "u1";
  for (int k = 1; k <= 13; ++k) heading += " " + longname('q', k);
  ASSERT_GT(heading.size(), 300u);
  for (const std::string& split : {std::string(" "), std::string("\n")}) {
    std::string record = heading;
    record[record.find(' ', 150)] = split[0];
    drawtest::Drawing d;
    ASSERT_EQ(d.read(drawtest::qk(record + " - z begin end 3 500 6 700\n")), "");
    const ZQPLTX::linetype& l = drawtest::line(1);
    ASSERT_EQ(l.nphases, 13) << (split == " " ? "one line" : "two lines");
    for (int k = 1; k <= 13; ++k) EXPECT_EQ(l.phases[k], longname('q', k));
    EXPECT_EQ(l.zero, "z");
  }
}

// The a-x listing's ideal activity of an end-member that is the product of
// twelve site fractions named at 22 characters (a line of 300) names every
// factor, the last included.
TEST(LongLines, ActivityOfTwelveLongSiteFractionsIsListedWhole) {
  assemblage::tables t;
  testsupport::ScratchDir dir;
  testsupport::openchannel(CHANNEL::AXINFOBIT, "it.txt");
  ptype1& p = (*PREC1)[1];
  p = ptype1{};
  p.name = "y";
  p.model = axtype::ideal;
  p.nprop = 2;
  p.nvar = 1;
  p.xvar[1].name = "x(y)";
  p.em[1].name = longname('e', 1);
  p.em[2].name = longname('e', 2);
  p.nsf = 12;
  for (smallint k = 1; k <= 12; ++k) p.sfname[k] = longname('s', k);
  for (emtype& em : {std::ref(p.em[1]), std::ref(p.em[2])}) {
    em.norm = 1;
    em.nsfterm = 12;
    for (smallint k = 1; k <= 12; ++k) em.sfterm[k] = sftermtype{k, 1, 1};
  }
  CALCMODE = calcmodetype::phasecalc;
  NHEADER = 0;
  ZQNLE3::WRITEAX(1);
  IO::FLUSHER();
  const std::string it = dir.read("it.txt");
  std::string want = "\n  " + longname('e', 1) + " = " + longname('s', 1);
  for (int k = 2; k <= 12; ++k) want += std::string(1, ' ') + longname('s', k);
  EXPECT_EQ(it.find('\xA4'), std::string::npos) << it;
  EXPECT_NE(it.find(want + "\n"), std::string::npos) << it;
}

}  // namespace
