// The least-squares preferences file of calc mode 9.
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

void suffix(sstring& target, const IO::strings& w, smallint n, controlboolean sw) {
  if (sw != yes) return;
  if (n < 2)
    target.clear();
  else if (w[2] != "yes")
    target = w[2];
  else
    target = n >= 3 ? w[3] : sstring();
}

}  // namespace

void READCONTROLDS() {
  CONTROLDS = controldstype{};
  IO::FILENAME = IO::OPENDATAFILE(IO::LSQPREFSNAME(), "prefs info", IO::DATA);
  IO::DATAOPEN = true;
  IO::strings w{"prefs words"};
  while (!IO::ENDOFFILE(IO::DATA)) {
    smallint n = 0;
    IO::READSTRINGS(IO::DATA, w, n, true);
    if (n > 0 && w[1][0] == '*') break;
    if (n == 0) continue;
    const sstring k = w[1];
    controlboolean sw = yes;
    smallint pos = 1;
    IO::READCONTROL(w, n, sw, pos);
    if (k == "jxdssuffix") {
      suffix(CONTROLDS.jxdssuffix, w, n, sw);
    } else if (k == "xpsuffix") {
      suffix(CONTROLDS.xpsuffix, w, n, sw);
    } else if (k == "emsuffix") {
      suffix(CONTROLDS.emsuffix, w, n, sw);
    } else if (k == "axsuffix") {
      suffix(CONTROLDS.axsuffix, w, n, sw);
    } else if (k == "infolevel") {
      smallint v = 0;
      if (n >= 2 && WORDINT(w[2], v)) CONTROLDS.infolevel = v;
      if (CONTROLDS.infolevel > 3) CONTROLDS.infolevel = 3;
    } else if (k == "moreinputlines" || k == "printomit") {
      CONTROLDS.printomit = sw;
    } else if (k == "useqr") {
      CONTROLDS.useqr = sw;
    } else if (k == "mark456") {
      CONTROLDS.mark456 = sw;
    } else if (k == "userfac") {
      CONTROLDS.userfac = sw;
    } else if (k == "tighten") {
      CONTROLDS.tighten = sw;
    }
  }
  IO::FILECLOSE(IO::DATA, true, "prefs");
  IO::DATAOPEN = false;
  IO::CHECKNAMEBYTES(CONTROLDS.jxdssuffix, "the jxdssuffix", "readcontrolds");
  IO::CHECKNAMEBYTES(CONTROLDS.xpsuffix, "the xpsuffix", "readcontrolds");
  IO::CHECKNAMEBYTES(CONTROLDS.emsuffix, "the emsuffix", "readcontrolds");
  IO::CHECKNAMEBYTES(CONTROLDS.axsuffix, "the axsuffix", "readcontrolds");
}

}  // namespace ZQSCRIPT
