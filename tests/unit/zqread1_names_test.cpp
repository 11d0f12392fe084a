// The end-member list of the chosen phases and its cleaning.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "iotestsupport.h"
#include "frame/zqglobal_axsetup.h"
#include "input/zqread1.h"
#include "zqread2_testsupport.h"

using namespace ZQGLOBAL;

namespace {

using testsupport::fatal;

class Names : public axtest::AxTest {
 protected:
  ptype1& solution(const std::string& name, std::vector<std::string> ems) {
    ptype1& p = (*PREC1)[++NPSS];
    p = ptype1{};
    p.name = name;
    p.nprop = static_cast<smallint>(ems.size());
    for (std::size_t e = 0; e < ems.size(); ++e) p.em[static_cast<long>(e + 1)].name = ems[e];
    return p;
  }
  ptype0& pure(const std::string& name) {
    ptype0& p = (*PREC0)[++NP0];
    p = ptype0{};
    p.name = p.emname = name;
    return p;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> v;
    for (long i = 1; i <= NCV; ++i) v.push_back(NAME[i]);
    return v;
  }
  void SetUp() override {
    AxTest::SetUp();
    NP0 = 0;
  }
  bemvector none{"drop"};
};

TEST_F(Names, ListHoldsEachNeededEndMemberOnceInOrder) {
  solution("g", {"py", "alm"});
  ptype1& h = solution("h", {"di", "hedm"});
  h.em[2].nmake = 2;
  h.em[2].makename[1] = "hed";
  h.em[2].makename[2] = "py";
  solution("k", {"jd"});
  pure("q");
  ptype0& made = pure("mtm");
  made.nmake = 1;
  made.makename[1] = "mt";
  pure("ky");
  pure("alm");
  NAME[9] = "stale";
  bemvector drop{"drop"};
  drop[3] = drop[6] = true;
  ZQREAD1::MAKENAME(drop);
  EXPECT_EQ(NP, 5);
  EXPECT_EQ((*PREC1)[2].name, "h");
  EXPECT_EQ((*PREC0)[3].name, "alm");
  // A made end-member is never listed, its parents come last.
  EXPECT_EQ(names(), (std::vector<std::string>{"py", "alm", "di", "q", "hed", "mt"}));
  EXPECT_EQ(NAME[9], "");

  bemvector all{"drop"};
  all.fill(true);
  ZQREAD1::MAKENAME(all);
  EXPECT_EQ(NCV, 0);
  EXPECT_EQ(NP, 0);
}

TEST_F(Names, ListLimits) {
  // 54 phases of 15 end-members pass 800 names before repeats go.
  for (int i = 0; i < 54; ++i) solution("p" + std::to_string(i), std::vector<std::string>(15, "py"));
  EXPECT_EQ(fatal([&] { ZQREAD1::MAKENAME(none); }), "makename: too many end-members 1");

  NPSS = 0;
  for (int i = 0; i < 27; ++i) {
    std::vector<std::string> ems;
    for (int e = 0; e < 15; ++e) ems.push_back("e" + std::to_string(i * 15 + e));
    solution("p" + std::to_string(i), ems);
  }
  EXPECT_EQ(fatal([&] { ZQREAD1::MAKENAME(none); }), "makename: too many end-members");
}

class Clean : public Names {
 protected:
  // End-members with their amounts of components A, B, C.
  void system(std::vector<std::pair<std::string, std::vector<int>>> ems) {
    NCV = NNE = static_cast<smallint>(ems.size());
    NUV = NU = 3;
    for (long k = 1; k <= 3; ++k) {
      COMPNAME[k] = std::string(1, static_cast<char>('A' + k - 1));
      COMPDIV[k] = 1;
      ICOMP[k] = static_cast<smallint>(k);
    }
    for (long j = 1; j <= NCV; ++j) {
      const auto& [name, amounts] = ems[static_cast<std::size_t>(j - 1)];
      NAME[j] = name;
      ACTIVITY[j] = static_cast<extended>(j) / 10;
      (*TD)(j, 1) = static_cast<extended>(j);
      for (long k = 1; k <= 3; ++k) (*C)(k, j) = static_cast<smallint>(amounts[static_cast<std::size_t>(k - 1)]);
      for (long i = 1; i <= NCV; ++i) (*COV)(i, j) = static_cast<extended>(10 * i + j);
    }
  }
};

TEST_F(Clean, LoneCarriersGoOneAfterAnother) {
  // C is carried by d alone; once d goes, B is carried by c alone.
  system({{"a", {1, 0, 0}}, {"b", {2, 0, 0}}, {"c", {1, 1, 0}}, {"d", {0, 1, 1}}});
  ZQREAD1::CLEAN();
  EXPECT_EQ(term.text(), "\nd excluded\nc excluded\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(NUV + NU + NNE, 4);
  EXPECT_EQ(NAME[3], "");

  // A component of no end-member goes silently; a middle end-member leaves
  // its row and column of the covariance.
  system({{"a", {0, 1, 1}}, {"b", {0, 0, 2}}, {"c", {0, 1, 3}}});
  ZQREAD1::CLEAN();
  EXPECT_EQ(term.text(), "\nd excluded\nc excluded\n");
  EXPECT_EQ(NCV, 3);
  EXPECT_EQ(COMPNAME[1], "B");
  EXPECT_EQ((*C)(2, 3), 3);
  system({{"a", {1, 0, 1}}, {"b", {0, 1, 0}}, {"c", {1, 0, 1}}});
  ZQREAD1::CLEAN();
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ((*COV)(1, 2), 13);
  EXPECT_EQ((*COV)(2, 2), 33);
  EXPECT_EQ(ACTIVITY[2], 0.3L);
  EXPECT_EQ((*TD)(2, 1), 3);
}

TEST_F(Clean, OneEndMemberLeftEndsTheRun) {
  system({{"a", {1, 0, 0}}, {"b", {1, 1, 0}}, {"c", {0, 0, 1}}});
  EXPECT_EQ(fatal([] { ZQREAD1::CLEAN(); }), "clean: insufficient end-members");
}

TEST_F(Names, NameCheckAsksOnce) {
  sstring name = "py";
  EXPECT_TRUE(ZQREAD1::OKNAME(name));
  sstring wrong = "pyx";
  {
    testsupport::Answers a("alm\n");
    EXPECT_TRUE(ZQREAD1::OKNAME(wrong));
  }
  EXPECT_EQ(wrong, "alm");
  sstring bad = "zz";
  {
    testsupport::Answers a("yy\n");
    EXPECT_FALSE(ZQREAD1::OKNAME(bad));
  }
  EXPECT_NE(term.text().find("zz not recognised : replace with"), std::string::npos) << term.text();
  EXPECT_NE(term.text().find("forget it!  (check the name\xC9)\n"), std::string::npos);
}

}  // namespace
