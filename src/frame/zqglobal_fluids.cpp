// The fluid species tables: fixed data that the a-x reader puts in place
// and the fluid equations of state read, so they live below both.
#include "frame/constants.h"
#include "frame/zqglobal.h"

namespace ZQGLOBAL {

void SETFLUIDTABLES() {
  constexpr int nspecies = 8;
  static_assert(nspecies <= maxfluid);
  FLUIDTYPE = ftype::notset;
  NFLUIDNAME = nspecies;
  static const char* const names[nspecies] = {"H2O", "CO2", "CH4", "CO", "H2", "O2", "H2S", "S2"};
  using namespace CONST;
  static const extended csp[nspecies] = {0, 0, PCRITCH4, PCRITCO, PCRITH2, 0, PCRITH2S, PCRITS2};
  static const extended cst[nspecies] = {0, 0, TCRITCH4, TCRITCO, TCRITH2, 0, TCRITH2S, TCRITS2};
  for (long i = 1; i <= nspecies; ++i) {
    FLUIDNAME[i] = names[i - 1];
    CSP[i] = csp[i - 1];
    CST[i] = cst[i - 1];
  }
  for (long i = 1; i <= nspecies; ++i)
    for (long j = 1; j <= nspecies; ++j) AIJ(i, j) = 0;
  struct pair {
    int i, j;
    extended a;
  };
  // species codes: 1 H2O, 2 CO2, 3 CH4, 4 CO, 5 H2, 6 O2, 7 H2S, 8 S2
  static const pair pairs[] = {{1, 2, AH2OCO2}, {1, 3, 17.5L}, {1, 4, 16.8L}, {1, 5, 14.9L}, {1, 7, 6.7L},
                               {1, 8, 13.0L}, {2, 3, 0.6L},  {2, 4, 1.2L},  {2, 5, 2.2L},  {2, 7, 0.045L},
                               {2, 8, 1.0L},  {3, 4, 0},     {3, 5, 0.8L},  {3, 7, 4.15L}, {4, 5, 0.3L}};
  for (const pair& pr : pairs) {
    AIJ(pr.i, pr.j) = pr.a;
    AIJ(pr.j, pr.i) = pr.a;
  }
}


}  // namespace ZQGLOBAL
