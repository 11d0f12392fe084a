// Hand-made systems for the reaction finder: components, phases with their
// integer compositions and constant-volume thermodynamic rows (see
// zqfind_testsupport.h), the phases in excess last; and the finder's tables
// cleared before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/zqglobal.h"
#include "iotestsupport.h"
#include "model/zqre.h"
#include "model/zqre_finder.h"
#include "zqfind_testsupport.h"

namespace retest {

using namespace ZQGLOBAL;

struct phase {
  const char* name;
  std::vector<smallint> comp;  // over the components, in their order
  extended H = 0, S = 0, V = 1;
};

class FinderTest : public findtest::FindTest {
 protected:
  void SetUp() override {
    FindTest::SetUp();
    clear();
    C->fill(0);
  }
  void TearDown() override {
    clear();
    NU = NUV = NNE = 0;
    COMPDIV.fill(0);
    COMPNAME.fill("");
    FindTest::TearDown();
  }
  static void clear() {
    RESETREFINDER();
    ZQRE::RESETFINDER();
    EXEM.fill(0);
    NEX = NEX1 = 0;
    DOALLREACTIONS = false;
    REHELP = false;
    LNAPOS = 0;
  }

  // Components comps, the first nu of them open to the finder and one phase
  // in excess per further component, at the end of phases.
  static void build(const std::vector<std::string>& comps, smallint nu, const std::vector<phase>& phases,
                    const std::vector<longint>& compdiv = {}) {
    clear();
    std::vector<findtest::row> rowlist;
    for (const phase& p : phases) rowlist.push_back({p.name, p.H, p.S, p.V});
    rows(rowlist);
    NUV = static_cast<smallint>(comps.size());
    NU = nu;
    NNE = static_cast<smallint>(NCV - (NUV - NU));
    for (long i = 1; i <= NUV; ++i) {
      COMPNAME[i] = comps[static_cast<std::size_t>(i - 1)];
      COMPDIV[i] = compdiv.empty() ? 1 : compdiv[static_cast<std::size_t>(i - 1)];
    }
    for (long j = 1; j <= NCV; ++j) {
      const phase& p = phases[static_cast<std::size_t>(j - 1)];
      for (long i = 1; i <= NUV; ++i) (*C)(i, j) = i <= static_cast<long>(p.comp.size()) ? p.comp[static_cast<std::size_t>(i - 1)] : 0;
    }
  }

  // Reaction k over the end-members, as a list.
  static std::vector<int> row(smallint k) {
    std::vector<int> v;
    for (long j = 1; j <= NCV; ++j) v.push_back((*R)(k, j));
    return v;
  }
  // The members of a phase set.
  static std::vector<int> members(const IO::longint3& s) {
    std::vector<int> v;
    for (smallint j = 0; j <= maxrephases; ++j)
      if (IO::BTST2(s, j)) v.push_back(j);
    return v;
  }
  static IO::longint3 set(const std::vector<smallint>& phases) {
    IO::longint3 s;
    for (smallint j : phases) IO::BSET2(s, j);
    return s;
  }
  static bemvector flags(const std::vector<smallint>& phases) {
    bemvector f;
    for (smallint j : phases) f[j] = true;
    return f;
  }
};

}  // namespace retest
