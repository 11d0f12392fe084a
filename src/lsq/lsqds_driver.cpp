// The entry points of calc mode 9: the heap tables, the run's switches and
// questions, the conversion of an end-member file into a data set, and the
// order of a fit.
#include <cmath>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

// A table already there is kept (a later run in one process finds it) but
// emptied, as a fresh run has it.
template <class T, class V>
void maketable(T*& p, const char* heapname, const V& empty) {
  if (p == nullptr) {
    p = new T();
    IO::HEAPINC(heapname, static_cast<longint>(sizeof(T)));
  } else {
    p->fill(empty);
  }
}

// The experiment records take some 200 MB at their maximum, so they are
// counted at that size but grow only as experiments are read.
void makexpw() {
  if (XPW == nullptr) {
    XPW = new std::vector<xprec>();
    IO::HEAPINC("xp", static_cast<longint>(maxrows * sizeof(xprec)));
  }
  XPW->clear();
}

// Opens the file name on DATA, reads its end-members and closes it.
void reademfile(const std::string& name) {
  IO::FILENAME = IO::OPENDATAFILE(name, "thermo", IO::DATA);
  IO::DATAOPEN = true;
  READTH();
  IO::FILECLOSE(IO::DATA, true, "emfile");
  IO::DATAOPEN = false;
}

// Iteration i of n: the rows, their solution, and the fitted enthalpies
// written back for the next iteration's activities and limits.
void iterate(smallint i, smallint n) {
  ITERNO = i;
  VD = 0;
  ASSEMBLY(i);
  if (CONTROLDS.useqr == yes)
    QR();
  else
    CHOLESKI();
  // Nothing is written from a solve that gave no number.
  for (smallint j = 1; j <= NTP; ++j)
    if (!std::isfinite((*THETA)[j]) || !std::isfinite((*XX)(j, j)) || !std::isfinite(SIG2))
      IO::ERROREXIT("dolsqds", "the fit gives no finite enthalpy for " + PHNAMES[j], yourfault);
  std::string line = IO::INT2STR(i) + ": ";
  IO::ADDREAL(std::sqrt(SIG2), 3, true, 6, line);
  IO::PUTSTR(i == 1 ? 1 : 0, line, 1, CHANNEL::TERMSUMLOG);
  for (smallint j = 1; j <= NTP; ++j) {
    TDA[j].h = (*THETA)[j];
    TDA[j].sdh = std::sqrt((*XX)(j, j));
    if (i == n) TDA[j].sdh *= std::sqrt(SIG2);
  }
}

}  // namespace

void INTRO() {
  TDA.fill(tdrec{});
  // TDA is counted as one of the mode's heap tables, so once, when they are
  // made: a later run in one process finds them made and counted.
  if (OXCAL == nullptr) IO::HEAPINC("tda", static_cast<longint>(sizeof(tdtype)));
  maketable(OXCAL, "oxcal", oxcalrec{});
  makexpw();
  maketable(Y, "y", 0.0L);
  maketable(YY, "yy", 0.0L);
  maketable(THETA, "theta", 0.0L);
  maketable(XX, "xx", 0.0L);
  maketable(HAT, "hat", 0.0L);
  maketable(LHS, "x", smallint{0});
  maketable(B, "b", false);
  XX->name = "XX";
  LHS->name = "LHS";
  B->name = "B";
  // The preferences name the files of the run, so they are read before the
  // files are made.
  ZQSCRIPT::READCONTROLDS();
}

void DOLSQDS() {
  VD = 0;
  IO::NGEM = 0;
  USESP = true;
  FROMLSQDS = true;
  FROMOUTXY = false;
  IO::PROMPTCONTROL("QR or Choleski to do LSQ: use QR", CONTROLDS.useqr);
  IO::PROMPTCONTROL("bullet \"pathological\" experiments", CONTROLDS.mark456);
  IO::PROMPTCONTROL("print omitted experiments", CONTROLDS.printomit);
  IO::PROMPTCONTROL("use \"rfac\"", CONTROLDS.userfac);
  if (CONTROLDS.userfac == yes) IO::PROMPTCONTROL("effectively fix \"good\" equilibria", CONTROLDS.tighten);
  ZQSCRIPT::READCONTROLJX();
  IO::CONTROLIO.strictaxnames = false;

  smallint n = 0;
  IO::PROMPTINTEGER("number of iterations ", n);
  if (n < 1) {
    IO::PUTSTR(0, "dsfile conversion to new format", 1, CHANNEL::TERMINAL);
    reademfile(IO::EMFNAME(CONTROLDS.emsuffix));
    WRITETHERMODATA();
    return;
  }
  if (n > maxiterations) IO::ERROREXIT("dolsqds", "too many iterations", yourfault);
  QVB = false;
  NUMERICAL = false;

  READXY();
  if (DSMODE == 5)
    IO::PUTSTR(0, "dsmode = 5 (old school)", 1, CHANNEL::TERMINAL);
  else if (DSMODE == 6)
    IO::PUTSTR(0, "dsmode = 6 (5 tweaked, new format)", 1, CHANNEL::TERMINAL);
  else
    IO::ERROREXIT("dolsqds", "dsmode not 5 or 6", yourfault);
  for (smallint i = 1; i <= n; ++i) iterate(i, n);
  OUTXY();
  WRITEEMDATA();
}

void DSCLEANUP() {}

}  // namespace LSQDS
