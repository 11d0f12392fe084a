// A name written twice in one list of the script: with the same value it is
// the name written once, with another value the run stops naming it. Each
// list is read with the repeat and without it; the two must leave the same
// state.
#include <cmath>

#include "zqscript_testsupport.h"

using namespace scripttest;
using namespace ZQGLOBAL;

class ScriptRepeatedNames : public ScriptTest {
 protected:
  std::string twice(const std::string& name, const std::string& kw) {
    return name + " given twice in \"" + kw + "\" with different values";
  }
};

TEST_F(ScriptRepeatedNames, ActivityAndPotentialLists) {
  read("mu SiO2 -945 MgO -600 SiO2 -945\n");
  EXPECT_EQ(NMU, 2);
  EXPECT_EQ(MUNAME[2], "MgO");
  EXPECT_EQ(FIXEDMU[1], -945);
  EXPECT_EQ(fatal("mu SiO2 -945 SiO2 -946\n").message, twice("SiO2", "mu"));
  // one value written two ways is one value; a value a hair apart is another
  read("mu SiO2 -945 SiO2 -945.000\n");
  EXPECT_EQ(NMU, 1);
  EXPECT_EQ(fatal("mu SiO2 -945 SiO2 -945.000001\n").message, twice("SiO2", "mu"));
  // a name without a value and the same name with one disagree too
  EXPECT_EQ(fatal("setmu SiO2 SiO2 -945\n").message, twice("SiO2", "setmu"));
  read("setmu SiO2 SiO2\n");
  EXPECT_EQ(NMU, 1);

  CALCMODE = calcmodetype::phasecalc;
  read("seta sil 0.3 ky 0.5 sil 0.3\n");
  EXPECT_EQ(NLNA, 2);
  EXPECT_EQ(LNANAME[2], "ky");
  EXPECT_EQ(FIXEDLNA[1], std::log(0.3L));
  EXPECT_EQ(fatal("setlna ky -1 ky -2\n").message, twice("ky", "setlna"));
  read("setloga ky ky\n");
  EXPECT_EQ(NLNA, 1);
  EXPECT_EQ(FIXEDLNA[1], 10);
}

TEST_F(ScriptRepeatedNames, GuessesAndColours) {
  read("xyzguess x(g) 0.5 range 0 0.9\nxyzguess y(g) 0.1\nxyzguess x(g) 0.5 range 0 0.9\n");
  EXPECT_EQ(NXYZ, 2);
  EXPECT_EQ(XYZNAME[2], "y(g)");
  EXPECT_EQ(XYZLIM2[1], 0.9L);
  EXPECT_EQ(fatal("xyzguess x(g) 0.5\nxyzguess x(g) 0.4\n").message, twice("x(g)", "xyzguess"));
  EXPECT_EQ(fatal("xyzguess x(g) 0.5\nxyzguess x(g) 0.5 range 0 0.9\n").message, twice("x(g)", "xyzguess"));
  EXPECT_EQ(fatal("xyzguess x(g) 0.5\nxyzguess x(g) 0.5 sd 0.1\n").message, twice("x(g)", "xyzguess"));

  read("modeguess g 0.2\nmodeguess q 0.3\nmodeguess g 0.2\n");
  EXPECT_EQ(NMODEGUESS, 2);
  EXPECT_EQ(fatal("modeguess g 0.2\nmodeguess g 0.25\n").message, twice("g", "modeguess"));

  read("rgb g 10 20 30\nrgb g 10 20 30\n");
  EXPECT_EQ(NRGBS, 1);
  EXPECT_EQ(fatal("rgb g 10 20 30\nrgb g 10 20 31\n").message, twice("g", "rgb"));

  read("pseudosection\nrbi SiO2 MgO\nrbi g 2 1 1\nrbi q 6 1 0\nrbi g 2 1 1\n");
  EXPECT_EQ(NRBIMODE, 2);
  EXPECT_EQ(RBIMODE[1], 0.25L);
  EXPECT_EQ(RBIMODE[2], 0.75L);
  EXPECT_EQ(fatal("pseudosection\nrbi SiO2 MgO\nrbi g 2 1 1\nrbi g 2 1 0\n").message, twice("g", "rbi"));

  read("projplane MgO FeO\nprojplane a 1 0\nprojplane b 0 1\nprojplane a 1 0\n");
  EXPECT_EQ(NPROJAPEX, 2);
  EXPECT_EQ(PROJNAMES[2], "b");
  EXPECT_EQ(PROJPLANE(2, 2), 1);
  EXPECT_EQ(fatal("projplane MgO FeO\nprojplane a 1 0\nprojplane a 0.5 0.5\n").message, twice("a", "projplane"));
}

TEST_F(ScriptRepeatedNames, BatchItemsAndGuesses) {
  const std::string head = "with g q\nbatchxyzguess startblock\nbatchxyzguess x(g) 0.5\nbatchxyzguess y(g) 0\n";
  read(head + "batchxyzguess x(g) 0.5\nmcbulk 1 1\n"
              "batch g g 1 1 1 5 600 0 1 1 0 2 g 0.3 g 0.3 0\n"
              "batch g q 1 1 1 5 600 0 1 0 2 g 1 0.4 g 1 0.4\n");
  EXPECT_EQ(BATCHXYZ[1].count, 2);
  EXPECT_EQ(BATCHXYZ[1].zeros, 1);
  const batchtype& b1 = BATCHINFO[1];
  EXPECT_TRUE(b1.phase[1]);
  EXPECT_FALSE(b1.phase[2]);
  EXPECT_EQ(b1.nmodeset, 1);
  EXPECT_EQ(b1.modephase1, 1);
  EXPECT_EQ(b1.modephase2, 0);
  const batchtype& b2 = BATCHINFO[2];
  EXPECT_EQ(b2.niso, 1);
  EXPECT_EQ(b2.isovalue[1], 0.4L);

  // an item asked for again, in one request or in another, is one request
  read(head + "batch g 1 1 1 5 600 0 1 0 0\nbatch q 1 1 1 5 600 0 1 0 0\nbatchreq 2 1 2\nbatchreq 2 1\n"
              "batchreq all\nbatchreq 1\n");
  ASSERT_EQ(NBATCHREQ, 3);
  EXPECT_EQ(BATCHREQ[1].count, 2);
  EXPECT_EQ(BATCHREQ[1].item[2], 1);
  EXPECT_EQ(BATCHREQ[2].item[1], 1);
  EXPECT_EQ(BATCHREQ[3].item[1], 2);

  // two variables of one phase are two isopleths
  read(head + "batch g 1 1 1 5 600 0 1 0 2 g 1 0.4 g 2 0.1\n");
  EXPECT_EQ(BATCHINFO[1].niso, 2);

  EXPECT_EQ(fatal(head + "batchxyzguess x(g) 0.6\n").message, twice("x(g)", "batchxyzguess"));
  EXPECT_EQ(fatal(head + "mcbulk 1 1\nbatch g 1 1 1 5 600 0 1 1 0 2 g 0.3 g 0.2 0\n").message,
            twice("mode of g", "batch"));
  EXPECT_EQ(fatal(head + "batch g 1 1 1 5 600 0 1 0 2 g 1 0.4 g 1 0.5\n").message, twice("variable 1 of g", "batch"));
}

TEST_F(ScriptRepeatedNames, MonteCarloLinesRangesAndFunctions) {
  const std::string head = "with g q\nbatchxyzguess startblock\nbatchxyzguess x(g) 0.5\n"
                           "batch g 1 1 1 5 600 0 1 0 0\n";
  read(head + "mcrange r1 10 2\nmcrange r2 4 1\nmcrange r1 10 2\nmcfunc f1 1 2 0.5 r1 2 r2\n"
              "mcfunc f1 1 2 0.5 r1 2 r2\nmc g a W(py,gr) =r1\nmc g b W(py,gr) =r1\nmc g a W(py,gr) =r1\n"
              "mc g c DQF(py) ff1\nmc g c DQF(py) ff1\nmc q a a(qz) 3 1\nmc q a a(qz) 3 1\n");
  EXPECT_EQ(NMCRANGE, 2);
  EXPECT_EQ(NMCFUNC, 1);
  ASSERT_EQ(NMC, 4);
  EXPECT_EQ(MCINFO[2].abc, 2);  // another term of the same parameter is another draw
  EXPECT_EQ(MCINFO[3].rangeindex, -1);
  EXPECT_EQ(MCINFO[3].base, 14);
  EXPECT_EQ(MCINFO[4].phasename[1], "q");
  EXPECT_EQ(MCINFO[4].spread, 1);

  EXPECT_EQ(fatal(head + "mcrange r1 10 2\nmcrange r1 10 3\n").message, twice("r1", "mcrange"));
  EXPECT_EQ(fatal(head + "mcrange r1 10 2\nmcfunc f1 1 1 0.5 r1\nmcfunc f1 1 1 0.6 r1\n").message,
            twice("f1", "mcfunc"));
  EXPECT_EQ(fatal(head + "mc g a W(py,gr) 5 0\nmc g a W(py,gr) 7 0\n").message, twice("W(py,gr) of g", "mc"));
  EXPECT_EQ(fatal(head + "mc g a W(py,gr) 5 1\nmc g a W(py,gr) 5 2\n").message, twice("W(py,gr) of g", "mc"));
  EXPECT_EQ(fatal(head + "mcrange r1 10 2\nmc g a W(py,gr) 10 2\nmc g a W(py,gr) =r1\n").message,
            twice("W(py,gr) of g", "mc"));
  EXPECT_TRUE(says("mc attempted and failed"));
}
