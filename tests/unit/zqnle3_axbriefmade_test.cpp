// The compact a-x table of a phase whose end-members carry DQF terms: the
// recipes of its made end-members and the H, S and V of those with terms.
#include <gtest/gtest.h>

#include <string>

#include "assemblage_testsupport.h"
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;

namespace {

ptype1& phase() {
  ptype1& p = (*PREC1)[1];
  p = ptype1{};
  p.name = "sp";
  p.model = axtype::ideal;
  p.nprop = 4;
  p.nvar = 1;
  p.xvar[1].name = "x";
  p.xvar[1].guess = 0.5L;
  const char* names[] = {"a", "b", "c", "d"};
  for (long e = 1; e <= 4; ++e) p.em[e].name = names[e - 1];
  return p;
}

void recipe(emtype& em, std::initializer_list<std::pair<const char*, int>> parts, int div) {
  em.nmake = 0;
  em.makediv = static_cast<smallint>(div);
  for (const auto& [name, coef] : parts) {
    ++em.nmake;
    em.makename[em.nmake] = name;
    em.makecoef[em.nmake] = static_cast<smallint>(coef);
  }
}

// What follows the line of the variables' guesses.
std::string tail(const std::string& out) { return out.substr(out.find("0.500\n") + 6); }

TEST(AxBriefMade, TermsOfTheEndMembersThatHaveThem) {
  struct Case {
    const char* what;
    bool bflag, cflag;  // whether b gives S and c gives V
    std::string want;
  };
  const std::string names = "              a         b         c      b = 1/2 a + 1/2 c;  c = 2 a + -1 b\n";
  const Case cases[] = {
      {"H only", false, false, names + "  H       -1.50      2.00      0.25\n"},
      {"H, S and V", true, true,
       names + "  H       -1.50      2.00      0.25\n  S               -0.0010          \n  V                          0.0100\n"},
  };
  for (const Case& c : cases) {
    assemblage::tables t;
    IO::CONTROLIO.dontwrap = false;
    ptype1& p = phase();
    recipe(p.em[2], {{"a", 1}, {"c", 1}}, 2);
    recipe(p.em[3], {{"a", 2}, {"b", -1}}, 1);
    p.em[1].dqffit[1] = true;
    p.em[2].dqffit[1] = true;
    p.em[2].dqffit[2] = c.bflag;
    p.em[3].dqffit[1] = true;
    p.em[3].dqffit[3] = c.cflag;
    p.em[1].td[TDSLOT::H] = -1.5L;
    p.em[2].td[TDSLOT::H] = 2;
    p.em[2].td[TDSLOT::S] = -0.001L;
    p.em[3].td[TDSLOT::H] = 0.25L;
    p.em[3].td[TDSLOT::V] = 0.01L;
    p.em[4].td[TDSLOT::H] = 99;  // no terms given: not shown
    testsupport::Terminal term;
    ZQNLE3::WRITEAXBRIEF(1);
    EXPECT_EQ(tail(term.text()), c.want) << c.what;
  }
  // Without any term given the table ends after the variables.
  assemblage::tables t;
  phase();
  testsupport::Terminal term;
  ZQNLE3::WRITEAXBRIEF(1);
  EXPECT_EQ(tail(term.text()), "");
}

}  // namespace
