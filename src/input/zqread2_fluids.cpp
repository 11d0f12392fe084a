// Fluid and aqueous phases: the species tables, each end-member's species
// code and the mixing set-up that the activity model of fluids expects.
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

namespace {

[[noreturn]] void fail(const std::string& message) { IO::ERROREXIT("read", message, yourfault); }

void setfluidtables() {
  FLUIDTYPE = ftype::notset;
  NFLUIDNAME = 8;
  static const char* const names[8] = {"H2O", "CO2", "CH4", "CO", "H2", "O2", "H2S", "S2"};
  static const extended csp[8] = {0, 0, 0.046L, 0.035L, 0.0211L, 0, 0.0893L, 0.08L};
  static const extended cst[8] = {0, 0, 190.6L, 132.9L, 41.2L, 0, 373.2L, 259.6L};
  for (long i = 1; i <= 8; ++i) {
    FLUIDNAME[i] = names[i - 1];
    CSP[i] = csp[i - 1];
    CST[i] = cst[i - 1];
  }
  for (long i = 1; i <= 8; ++i)
    for (long j = 1; j <= 8; ++j) AIJ(i, j) = 0;
  struct pair {
    int i, j;
    extended a;
  };
  // species codes: 1 H2O, 2 CO2, 3 CH4, 4 CO, 5 H2, 6 O2, 7 H2S, 8 S2
  static const pair pairs[] = {{1, 2, 10.5L}, {1, 3, 17.5L}, {1, 4, 16.8L}, {1, 5, 14.9L}, {1, 7, 6.7L},
                               {1, 8, 13.0L}, {2, 3, 0.6L},  {2, 4, 1.2L},  {2, 5, 2.2L},  {2, 7, 0.045L},
                               {2, 8, 1.0L},  {3, 4, 0},     {3, 5, 0.8L},  {3, 7, 4.15L}, {4, 5, 0.3L}};
  for (const pair& pr : pairs) {
    AIJ(pr.i, pr.j) = pr.a;
    AIJ(pr.j, pr.i) = pr.a;
  }
}

}  // namespace

void axreader::FLUIDHANDLING() {
  for (long s = 1; s <= NPSS; ++s) {
    ptype1& p = (*PREC1)[s];
    p.isfluid = p.name.compare(0, 5, "fluid") == 0;
    p.isaq = !p.isfluid && p.name.compare(0, 2, "aq") == 0;
    p.h2opos = 0;
    p.co2pos = 0;
    for (long e = 1; e <= p.nprop; ++e) {
      if (p.em[e].name == "H2O") p.h2opos = static_cast<smallint>(e);
      if (p.em[e].name == "CO2") p.co2pos = static_cast<smallint>(e);
    }
    if (!p.isfluid && !p.isaq && p.name.compare(0, 2, "fl") != 0) {
      for (long e = 1; e <= p.nprop; ++e)
        for (long k = 1; k <= nsplist; ++k)
          if (p.em[e].name == SPLIST[k]) fail(SPLIST[k] + " not in fluid/aq");
    }
  }
  setfluidtables();
  for (long s = 1; s <= NPSS; ++s)
    for (long e = 1; e <= (*PREC1)[s].nprop; ++e) (*PREC1)[s].em[e].fluidcode = 0;
  for (long s = 1; s <= NPSS; ++s) {
    ptype1& p = (*PREC1)[s];
    for (long e = 1; e <= p.nprop; ++e) {
      smallint k = 0;
      const bool species = IO::MATCHSTRING(p.em[e].name, FLUIDNAME, NFLUIDNAME, k);
      if (p.isfluid) {
        if (!species) fail("end-member name in fluid not recognised");
        p.em[e].fluidcode = k;
        if (k == 6) fail("O2 not implemented in fluid coding");
      } else if (p.isaq && species && k > 2) {
        fail("fluid name in aq not just H2O and CO2");
      }
    }
  }
  for (long s = 1; s <= NPSS; ++s) {
    ptype1& p = (*PREC1)[s];
    if (p.isfluid) {
      p.model = axtype::vanlaar;
      long row = 0;
      for (long j = 1; j < p.nprop; ++j)
        for (long k = j + 1; k <= p.nprop; ++k) {
          ++row;
          p.wpair[row] = wpairtype{static_cast<smallint>(row), static_cast<smallint>(j), static_cast<smallint>(k)};
        }
      p.nwpair = static_cast<smallint>(row);
    } else if (p.isaq) {
      if (p.em[1].name != "H2O") fail("1st H2O-CO2 aq end-member must be \"H2O\"");
      p.model = axtype::vanlaar;
      if (p.co2pos > 0) {
        if (p.em[2].name != "CO2") fail("2nd H2O-CO2 aq end-member must be \"CO2\"");
        if (p.wa[1] != 0) fail("set W(H2O-CO2) = 0 (its value is then hard-wired)");
        // Room for the new first row: the table holds every pair once.
        if (p.nwpair >= maxw) fail("too many gterms");
        for (long i = p.nwpair; i >= 1; --i) p.wpair[i + 1] = p.wpair[i];
        p.wpair[1] = wpairtype{1, 1, 2};
        ++p.nwpair;
      }
    }
  }
}

}  // namespace ZQREAD2
