// The end-member file of calc mode 9: its reader in the old (mode 5) and
// the new (modes 6 and 7) layouts, with the values derived from each record.
#include <algorithm>
#include <cmath>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

const char* const where = "readth";
constexpr smallint lastcode = 26;           // highest element/oxide code of a formula pair
constexpr long double einsteinfactor = 10636.0L;  // Einstein temperature from S per atom
constexpr long double einsteinoffset = 6.44L;
constexpr long double lowesttheta = 10.0L;
constexpr long double minatoms = 0.1L;      // an atom count below this gives no Einstein temperature
constexpr long double sdsfraction = 0.001L; // sd(S) in place of one not given
constexpr smallint melttype = 7;

bool ismelt(const std::string& name) { return !name.empty() && name.back() == 'L'; }

// Einstein temperature from S and the atom count, to the nearest integer
// (a half to the even one); a zero divisor gives the lowest value instead.
extended einstein(extended s, extended natoms) {
  if (natoms == 0) return lowesttheta;
  const extended divisor = einsteinoffset + 1000.0L * s / natoms;
  if (divisor == 0) return lowesttheta;
  return std::nearbyint(einsteinfactor / divisor);
}

// One record's reading: every number names its field and the end-member.
struct block {
  tdrec& r;
  std::string context;
  extended real(const char* field) const { return READREAL(where, field, context); }
  smallint integer(const char* field) const { return READINT(where, field, context); }

  // Pairs of code and amount up to a code 0.
  void formula() {
    for (;;) {
      const smallint code = integer("a formula code");
      if (code == 0) return;
      if (code < 1 || code > lastcode)
        IO::ERROREXIT(where, "element code " + IO::INT2STR(code) + " outside 1.." + IO::INT2STR(lastcode) + " in " +
                                 context,
                      yourfault);
      if (r.nform == maxformpairs)
        IO::ERROREXIT(where, "more than " + IO::INT2STR(maxformpairs) + " formula pairs in " + context, yourfault);
      r.nform = static_cast<smallint>(r.nform + 1);
      r.form[r.nform].code = code;
      r.form[r.nform].amount = real("a formula amount");
    }
  }

  // Landau, Bragg-Williams or aqueous values and the rest of their line.
  void landau() {
    r.tcrit = real("Tc");
    r.smax = real("Smax");
    r.vmax = real("Vmax");
    r.odnote = READREST();
  }
  void braggwilliams() {
    r.bwdh = real("the Bragg-Williams dH");
    r.bwdv = real("the Bragg-Williams dV");
    r.bww = real("the Bragg-Williams W");
    r.bwwv = real("the Bragg-Williams WV");
    r.bwn = integer("the Bragg-Williams n");
    r.bwfac = real("the Bragg-Williams fac");
    r.odnote = READREST();
  }
  void aqueous() {
    r.cpaq = real("Cp,aq");
    r.odnote = READREST();
  }

  void newlayout(bool cvtypes) {
    formula();
    READNEXTLINE();
    for (smallint k = 1; k <= r.nform; ++k) r.natoms += r.form[k].amount;
    r.eqtype = integer("the property type");
    r.h = real("H");
    r.hnote = READREST();
    READNEXTLINE();
    r.s = real("S");
    r.snote = READREST();
    READNEXTLINE();
    r.v = real("V");
    r.vnote = READREST();
    READNEXTLINE();
    if (cvtypes && r.eqtype >= 3 && r.eqtype <= 5) {
      r.cv1 = real("Cv 1");
      r.cv2 = real("Cv 2");
      r.theta = real("theta");
    } else {
      r.cpa = real("Cp a");
      r.cpb = real("Cp b");
      r.cpc = real("Cp c");
      r.cpd = real("Cp d");
    }
    r.cpnote = READREST();
    READNEXTLINE();
    r.a0 = real("a0");
    r.a0note = READREST();
    r.k0 = real("K0");
    r.k0p = real("K0'");
    if (r.eqtype == melttype) r.dk0dt = real("dK0/dT");
    r.knote = READREST();
    if (r.eqtype == 1 || r.eqtype == 4) landau();
    if (r.eqtype == 2 || r.eqtype == 5) braggwilliams();
    if (r.eqtype == 8) aqueous();
  }

  void oldlayout() {
    formula();
    r.nsite = integer("the site multiplicity");
    r.natoms = real("the atom count");
    READNEXTLINE();
    r.h = real("H");
    r.sdh = real("sd(H)");
    r.dscode = real("the model code");
    r.hnote = READREST();
    READNEXTLINE();
    r.s = real("S");
    r.sds = real("sd(S)");
    r.snote = READREST();
    READNEXTLINE();
    r.v = real("V");
    r.vnote = READREST();
    READNEXTLINE();
    r.cpa = real("Cp a");
    r.cpb = real("Cp b");
    r.cpc = real("Cp c");
    r.cpd = real("Cp d");
    r.cpnote = READREST();
    READNEXTLINE();
    r.a0 = real("a0");
    r.a0note = READREST();
    r.k0 = real("K0");
    r.k0p = real("K0'");
    r.k0pp = real("K0''");
    if (ismelt(r.name)) r.dk0dt = real("dK0/dT");
    r.knote = READREST();
    if (r.dscode == 2) landau();
    if (r.dscode == 4) braggwilliams();
    if (r.dscode == 3) aqueous();
  }
};

void derivenew(tdrec& r) {
  if (r.eqtype == melttype && !ismelt(r.name))
    IO::ERROREXIT(where, "melt end-member name does not end in 'L'", yourfault);
  const bool cvtype = DSMODE == 7 && r.eqtype >= 3 && r.eqtype <= 5;
  if (r.eqtype != melttype && !cvtype) {
    r.theta = std::fabs(r.natoms) >= minatoms ? einstein(r.s, r.natoms) : 0;
    if (r.theta < lowesttheta) r.theta = lowesttheta;
  }
  if (r.k0 > 0) r.k0pp = -r.k0p / r.k0;
}

void deriveold(tdrec& r) {
  const bool melt = ismelt(r.name);
  if (!melt) r.theta = einstein(r.s, r.natoms);
  if (r.k0 != 0) r.k0pp = -r.k0p / r.k0;
  if (r.theta < lowesttheta) r.theta = lowesttheta;
  r.h0 = r.h;
  r.sdh0 = r.sdh;
  if (melt)
    r.eqtype = melttype;
  else if (r.dscode == 2)
    r.eqtype = 1;
  else if (r.dscode == 4)
    r.eqtype = 2;
  else if (r.dscode == 3)
    r.eqtype = 8;
  else if (r.v == 0)
    r.eqtype = 6;
  else
    r.eqtype = 0;
}

// A record as the reader starts it, with its name and formula.
void startrecord(tdrec& r, const IO::strings& w, smallint n) {
  r = tdrec{};
  r.smax = -1;
  r.vmax = -1;
  r.bwfac = 1;
  r.name = IO::MAKESSTRING(w[1]);
  const std::string second = n >= 2 ? w[2] : std::string(), third = n >= 3 ? w[3] : std::string();
  if (n == 2 || (!third.empty() && third[0] == '\xA5'))
    r.formula = second;
  else
    r.formula = IO::MAKESSTRING(second + "_" + third);
}


}  // namespace

void READTH() {
  IO::PUTSTR(1, "reading thermodynamic data", 1, CHANNEL::LOG);
  READERSTART();
  DSMODE = READINT(where, "the mode", "the file's first line");
  READNEXTLINE();
  READNEXTLINE();
  static IO::strings w{"end-member name line"};
  smallint count = 0;
  std::string last = "the file's head";
  for (;;) {
    str255 text;
    if (!READWHOLELINE(text))
      IO::ERROREXIT(where, "file ends without \"*\": after " + last, yourfault);
    const smallint n = LINEWORDS(text, w);
    if (n > 0 && IO::TRIMSTRING(w[1]) == "*") break;
    if (n == 0) IO::ERROREXIT(where, "name line without a name, after " + last, yourfault);
    if (count == maxdsem) IO::ERROREXIT(where, "too many end-members (increase maxntp)", yourfault);
    count = static_cast<smallint>(count + 1);
    PHNAMES[count] = IO::MAKESSTRING(w[1]);
    PHWRITTEN[count] = IO::WRITTENWORD(1, w[1]);
    IO::PUTSTR(0, "  " + IO::INT2STR(count) + ")  " + PHNAMES[count], 1, CHANNEL::LOG);
    tdrec& r = TDA[count];
    startrecord(r, w, n);
    last = r.name;
    block b{r, r.name};
    if (DSMODE == 5) {
      b.oldlayout();
      deriveold(r);
    } else {
      b.newlayout(DSMODE == 7);
      derivenew(r);
    }
    if (r.sds <= 0) r.sds = sdsfraction * r.s;
    READNEXTLINE();
    READNEXTLINE();
    if (DSMODE == 5 && r.dscode == 0) count = static_cast<smallint>(count - 1);
  }
  NTOT = count;
  std::string line = "number of end-members = ";
  IO::ADDINT(NTOT, 4, line);
  IO::PUTSTR(1, line, 1, CHANNEL::TERMINAL);
}

}  // namespace LSQDS
