// The menu of calc mode 0, the menu of the tables with their loading of the
// data, and the P-T grid that every table asks for.
#include <cmath>
#include <string>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "input/zqscript.h"
#include "utilities/zqmode0.h"
#include "utilities/zqpltx.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

constexpr extended defaultgridP = 5;     // kbar, the one pressure of an empty answer
constexpr extended defaultgridT = 5;     // degrees C, the one temperature of an empty answer
constexpr smallint fallbackpoints = 10;  // points of a range whose own count is unusable
constexpr extended onebar = 0.001L;      // kbar: a range starting at 0 kbar starts here
constexpr extended roomT = 298.15L;      // K: a range starting at 0 degrees C starts here

const char* const utilitymenu[] = {
    "     0 = phase diagram drawing (plotix)",
    "     1 = convert wt% for bulk and minerals into a useful form",
    "     2 = thermodynamic tables",
    "     3 = calculate activities from mu",
    "     4 = end-member list in a chemical system",
};

const char* const tablemenu[] = {
    "     0 = end-member thermo",
    "     1 = RT ln f(H2O) and RT ln f(CO2)",
    "     2 = other fugacities",
    "     3 = V(H2O) and V(CO2)",
    "     4 = linearised reaction thermo",
};

// The code of a menu: the script's when it is one of the menu's, else the
// answer to the menu's prompt. Anything but a code of the menu ends the run.
smallint menucode(smallint scriptcode, const std::string& title, const char* const (&lines)[maxmenucode + 1],
                  const std::string& prompt, const std::string& where) {
  if (scriptcode >= 0 && scriptcode <= maxmenucode) return scriptcode;
  IO::PUTSTR(1, title, 1, CHANNEL::TERMLOG);
  for (const char* line : lines) IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
  sstring word;
  IO::PROMPTSTRING(prompt, word);
  const std::string limit = ", between 0 and " + IO::INT2STR(maxmenucode);
  if (IO::WHATISSTRING(word) != valuetype::aninteger) IO::ERROREXIT(where, "integer needed (1)" + limit, yourfault);
  std::string failure;
  smallint code = 0;
  // A word too large for a code is refused with the converter's own text,
  // not taken as the 0 the converter leaves behind.
  const bool converted = IO::STR2INT(word, code, failure);
  if (!converted) IO::ERROREXIT(where, failure + " (2)" + limit, yourfault);
  if (code < 0 || code > maxmenucode) IO::ERROREXIT(where, "integer needed (2)" + limit, yourfault);
  return code;
}

// The grid's values v[1..n], refused when no calculation can take them.
void physicalgrid(bool temperature, const emvector& v, smallint n) {
  for (long i = 1; i <= n; ++i)
    ZQUTE1::PHYSICALPT(temperature, temperature ? v[i] - CONST::KELVIN : v[i], temperature ? "T" : "P", "PTgrid");
}

// One list of the grid, pressures (kbar) or temperatures (K).
void gridlist(const std::string& prompt, bool temperature, emvector& v, smallint& n) {
  IO::rrvector x{"grid values"};
  smallint typed = 0;
  IO::PROMPTREALS(prompt, x, typed);
  const extended shift = temperature ? CONST::KELVIN : 0;
  if (typed == 0) {
    n = 1;
    v[1] = (temperature ? defaultgridT : defaultgridP) + shift;
    return;
  }
  if (typed != 3 || x[2] < x[3]) {
    n = typed;
    for (long i = 1; i <= n; ++i) v[i] = x[i] + shift;
    physicalgrid(temperature, v, n);
    return;
  }
  const extended start = x[1], finish = x[2];
  extended step = x[3];
  if (step == 0 || start > finish) IO::ERROREXIT("PTgrid", "odd P", yourfault);
  // Counted as a real and only then made an integer, so that any range whose
  // count is beyond the list takes the ten-point rule.
  const extended count = std::nearbyint((finish - start) / step) + 1;
  if (!(count > 1 && count <= maxgridpoints)) {
    n = fallbackpoints;
    step = (finish - start) / fallbackpoints;
  } else {
    n = static_cast<smallint>(count);
  }
  for (long i = 1; i <= n; ++i) v[i] = start + static_cast<extended>(i - 1) * step + shift;
  if (!temperature && v[1] == 0) v[1] = onebar;
  if (temperature && v[1] == CONST::KELVIN) v[1] = roomT;
  physicalgrid(temperature, v, n);
}

smallint utilitycode(smallint scriptcode) {
  return menucode(scriptcode, "utility code:", utilitymenu, "utility code", "doutilities");
}

// A "utilitycode" word the script reader takes for a code.
bool codeword(const sstring& w) { return IO::WHATISSTRING(w) == valuetype::aninteger; }
bool anyword(const sstring&) { return true; }

}  // namespace

void FIRSTNAMES() {
  const sstring w = ZQUTE1::SCRIPTWORD("utilitycode", codeword);
  smallint scripted = -1;
  std::string failure;
  // As the script reader has it, a code too large for a number is 0.
  if (!w.empty() && !IO::STR2INT(w, scripted, failure)) scripted = 0;
  if (FIRSTUTILITY < 0) {
    if (!IO::CONTROLIO.dsfile.empty() && !IO::CONTROLIO.scriptfile.empty()) return;
    FIRSTUTILITY = utilitycode(scripted);
  }
  // The drawing's reader keeps the answer as the run's script suffix.
  if (FIRSTUTILITY == 0) {
    IO::PROMPTSUFFIX(IO::CONTROLIO.scriptfile, "");
    return;
  }
  IO::PROMPTSUFFIX(IO::CONTROLIO.dsfile, "thermo dataset");
  // Only a conversion the script chooses goes on without an "axfile" line,
  // and then asks for its a-x file.
  if (FIRSTUTILITY == 1 && scripted == 1 && IO::CONTROLIO.axfile.empty() &&
      ZQUTE1::SCRIPTWORD("axfile", anyword).empty())
    IO::PROMPTSUFFIX(FIRSTAXFILE, "a-x info");
}

void DOUTILITIES() {
  ZQSCRIPT::READCONTROLJX();
  const smallint code = MAINLOOP == 1 && FIRSTUTILITY >= 0 ? FIRSTUTILITY : utilitycode(UTILITYCODE);
  switch (code) {
    case 0:
      ZQPLTX::PLOTIX();
      // The drawing closes every file of the run, the terminal's channel
      // too: a later pass would put its questions to no one and take
      // silence for answers, so the run ends with the drawing.
      IO::HALT();
    case 1: DOCONVERT(); break;
    case 2: DOTABLE(); break;
    case 3: ACTIVITYCALC(); break;
    default: DOMAKELIST(); break;
  }
}

void DOTABLE() {
  ZQREAD1::READTHERMO(1);
  ZQREAD2::SETUPPHASES();
  ZQREAD1::EXTRACTEM();
  ZQUTE2::POSITIONS();
  const smallint code = menucode(TABLECODE, "table code:", tablemenu, "table code", "tabledriver");
  switch (code) {
    case 0: EMTABLE(); break;
    case 1: FUGACITIES(); break;
    case 2: FUGACITIES2(); break;
    case 3: VOLUMES(); break;
    default: RTHERMO(); break;
  }
}

void GETPTGRID(emvector& p, smallint& np, emvector& t, smallint& nt) {
  IO::SETTINGSHEAD("table PT", CHANNEL::TERMLOG);
  if (CONTROLJX.calcP == yes && PLOW == PHIGH) {
    np = 1;
    p[1] = PLOW;
  } else {
    gridlist("P in kbar: list of values OR start, finish, interval", false, p, np);
  }
  if (CONTROLJX.calcT == yes && TLOW == THIGH) {
    nt = 1;
    t[1] = TLOW;
  } else {
    gridlist(std::string("T") + utf8text::degree_s + "C: list of values OR start, finish, interval", true, t, nt);
  }
}

}  // namespace ZQMODE0
