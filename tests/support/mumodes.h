// The mumodes system (ol and opx in SiO2-MgO-FeO): the kinds of run its
// scripts hold variables by, and its data set and a-x file with the quartz
// end-member q named SiO2, as the oxide is, so that an ln a held on the
// phase holds SiO2.
#pragma once

#include <map>
#include <string>

#include "../e2e/harness.h"

namespace mmsystem {

// A kind of run: its phases, variable lines and the variance of its items.
struct kind {
  std::string name, with, variables, phases;
  int variance;
  bool lnaphase;  // q is named SiO2 in the data set, so that ln a holds SiO2
};

inline const kind none{"none", "ol opx", "", "ol opx", 3, false};
inline const kind onemu{"one mu", "ol opx", "mu SiO2 -945\ncalcmu\n", "ol opx", 2, false};
// ol alone with mu(MgO) at the two-phase point's value: the same ol.
inline const kind twomu{"two mu", "ol", "mu SiO2 -945 MgO -656.22681\ncalcmu\n", "ol", 2, false};
inline const kind lna{"ln a", "ol opx SiO2", "lna yes SiO2 -0.5\n", "ol opx", 2, true};

inline std::map<std::string, std::string> lnafiles() {
  std::string ds = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/mumodes/jx-ds7mm.txt");
  std::string ax = e2e::slurp(std::string(SOLVARINTH_FIXTURES) + "/mumodes/jx-mmax.txt");
  ds.replace(ds.find("\nq  quarx"), 9, "\nSiO2  quarx");
  ax.replace(ax.find("\nq\n"), 3, "\nSiO2\n");
  return {{"jx-ds7mm.txt", ds}, {"jx-mmax.txt", ax}};
}

}  // namespace mmsystem
