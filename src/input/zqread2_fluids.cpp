// Fluid and aqueous phases: the species tables, each end-member's species
// code and the mixing set-up that the activity model of fluids expects.
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

namespace {

[[noreturn]] void fail(const std::string& message) { IO::ERROREXIT("read", message, yourfault); }

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
  SETFLUIDTABLES();
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
        // The H2O-CO2 pair stands once, first, on parameter 1, whose energy
        // the activity model fills in from the volumes: a row of the file's
        // table joining the two would count it a second time, so it goes,
        // and the other rows keep their order and parameters.
        long kept = 0;
        for (long i = 1; i <= p.nwpair; ++i) {
          const wpairtype pr = p.wpair[i];
          const bool h2oco2 = (pr.wj == 1 && pr.wk == 2) || (pr.wj == 2 && pr.wk == 1);
          if (!h2oco2) p.wpair[++kept] = pr;
        }
        if (kept >= maxw) fail("too many gterms");
        for (long i = kept; i >= 1; --i) p.wpair[i + 1] = p.wpair[i];
        p.wpair[1] = wpairtype{1, 1, 2};
        p.nwpair = static_cast<smallint>(kept + 1);
      }
    }
  }
}

}  // namespace ZQREAD2
