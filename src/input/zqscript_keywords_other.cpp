// Keywords of the utilities, the retired keywords, and the end of the chain.
// The avPT+, rock-mineral and uncertainty blocks are not reached by any line,
// so their keywords fall through to the unrecognised report.
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

void code(smallint& target) {
  if (INFOTYPE[1] == valuetype::aninteger) target = INFOINT[1];
}

void muval(const scriptline& l) {
  if (!MUVALSEEN) {
    CONTROLJX.muval = l.sw;
  } else if (l.pos == 2) {
    SCRIPTFAULT("cbool out of place in muval script");
  }
  MUVALSEEN = true;
  if (NINFO < 1) return;
  if (INFOSTRING[1] == "PT") {
    extended p = 0, t = 0;
    if (NINFO < 3 || !WORDREAL(INFOSTRING[2], p) || !WORDREAL(INFOSTRING[3], t))
      SCRIPTFAULT("PT of muval too small");
    ZQUTE1::PHYSICALP(p, "muval P", "reading scripts");
    ZQUTE1::PHYSICALT(t, "muval T", "reading scripts");
    MUP = p;
    MUT = t + CONST::KELVIN;
    if (MUP < PLOW || MUT < TLOW) SCRIPTFAULT("PT of muval too small");
    return;
  }
  // A line is of names or of values, known by its first item: one that
  // holds both is a slip of typing (a value mistyped as a word, or a name
  // left among values), never a potential of 0 nor a name of a number.
  smallint word = 0, number = 0;
  for (smallint i = NINFO; i >= 1; --i) (ISNUMBER(INFOTYPE[i]) ? number : word) = i;
  if (word > 0 && number > 0)
    SCRIPTFAULT("a muval line holds both the word " + QUOTE(INFOSTRING[word]) + " and the number " +
                QUOTE(INFOSTRING[number]) + ": a line gives names or values, and a value is a number");
  if (INFOTYPE[1] == valuetype::astring) {
    if (NINFO > maxlna) SCRIPTFAULT("too many names in muval");
    for (smallint i = 1; i <= NINFO; ++i) MUNAME[i] = INFOSTRING[i];
    CONTROLJX.nbulkoxides = NINFO;
    return;
  }
  if (NINFO > 26) SCRIPTFAULT("too many values in muval");
  if (NMUCALCS + 1 > maxmucalcs) SCRIPTFAULT("too many muval lines");
  NMUCALCS = static_cast<smallint>(NMUCALCS + 1);
  for (smallint i = 1; i <= NINFO; ++i) MUCALCS(NMUCALCS, i) = INFOREAL[i];
  MUCOUNT[NMUCALCS] = NINFO;
}

}  // namespace

bool KEYWORDSOTHER(const scriptline& l) {
  const sstring& k = l.keyword;
  if (k == "utilitycode") {
    code(UTILITYCODE);
  } else if (k == "tablecode") {
    code(TABLECODE);
  } else if (k == "recalccode") {
    code(RECALCCODE);
  } else if (k == "convert") {
    CONVERTLINE();
  } else if (k == "muval") {
    muval(l);
  } else if (k == "exbuff") {
    IO::PUTSTR(0, "the script, exbuff, is superceded: use instead", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, QUOTE("figure T-x(CO2)") + " or " + QUOTE("figure P-x(CO2)"), 1, CHANNEL::TERMLOG);
    SCRIPTFAULT("exit, and use one of the new scripts");
  } else if (k == "mccorr") {
    IO::WRITETERMINAL("\n" + QUOTE("mccorr") + " has been cut - remove from the scriptfile\n");
    SCRIPTFAULT("mccorr no longer exists");
  } else if (k == "calcsdnle") {
    IO::WRITETERMINAL("calcsdnle not available in jx351\n");
  } else {
    return false;
  }
  return true;
}

}  // namespace ZQSCRIPT
