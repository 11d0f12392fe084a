// The new-format end-member file of calc mode 9: the end-members with their
// fitted enthalpies and comments in the layout the end-member reader takes,
// and, from an old-format file, the calorimetry lines for the experiments
// file.
#include <cmath>
#include <cstdlib>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"
#include "lsq/lsqds_fields.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

constexpr long double nocalorimetry = 99.0L;  // an sd(H) from this up marks no calorimetric value
constexpr int namecolumns = 8;                // the name's columns before the formula
constexpr long double heldbytwo = 1e-9L;      // an amount within this of its 2-decimal text is held by it

bool ismelt(const std::string& n) { return !n.empty() && n.back() == 'L'; }

std::string comment(const std::string& note) { return "% " + TSTR(note); }
std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

void nameandformula(fileimage& f, const tdrec& r) {
  f.text(r.name);
  f.text(r.name.size() < namecolumns ? blanks(static_cast<int>(namecolumns - r.name.size())) : " ");
  f.text(r.formula);
  f.eol();
  f.text(blanks(7));
  for (smallint k = 1; k <= r.nform; ++k) {
    const extended a = r.form[k].amount;
    // An amount such as 1/3 is given 4 decimals, so that it reads back as
    // it was to the third figure and beyond.
    const bool two = std::fabs(std::strtold(FIXEDTEXT(a, 2).c_str(), nullptr) - a) < heldbytwo;
    f.integer(r.form[k].code, 2, "a formula code");
    f.real(a, two ? 2 : 4, 8, "a formula amount");
    f.text("   ");
  }
  f.text("  0  " + IO::INT2STR(r.nsite));
  f.eol();
}

void orderline(fileimage& f, const tdrec& r) {
  if (r.eqtype == 1 || r.eqtype == 4) {
    f.integer(r.tcrit, 15, "Tc");
    f.real(r.smax, 5, 9, "Smax");
    f.real(r.vmax, 4, 8, "Vmax");
    f.text(blanks(18));
  } else if (r.eqtype == 2 || r.eqtype == 5) {
    f.real(r.bwdh, 2, 12, "the Bragg-Williams dH");
    f.real(r.bwdv, 4, 8, "the Bragg-Williams dV");
    f.real(r.bww, 2, 7, "the Bragg-Williams W");
    f.real(r.bwwv, 4, 8, "the Bragg-Williams WV");
    f.integer(r.bwn, 6, "the Bragg-Williams n");
    f.real(r.bwfac, 2, 7, "the Bragg-Williams fac");
    f.text(blanks(2));
  } else if (r.eqtype == 8) {
    f.real(r.cpaq, 4, 12, "Cp,aq");
    f.text(blanks(38));
  } else {
    return;
  }
  f.text(comment(r.odnote));
  f.eol();
}

void record(fileimage& f, const tdrec& r) {
  f.record = r.name;
  nameandformula(f, r);
  f.integer(r.eqtype, 3, "the property type");
  f.real(r.h, 3, 12, "H");
  f.eol();
  f.real(r.s, 5, 15, "S");
  f.text(blanks(35) + comment(r.snote));
  f.eol();
  f.real(r.v, 4, 15, "V");
  f.text(blanks(35) + comment(r.vnote));
  f.eol();
  if (DSMODE == 7 && r.eqtype >= 3 && r.eqtype <= 5) {
    f.real(r.cv1, 5, 15, "Cv 1");
    f.real(r.cv2, 10, 15, "Cv 2");
    f.real(r.theta, 1, 9, "theta");
    f.text(blanks(11) + comment(r.cpnote));
  } else {
    f.real(r.cpa, 4, 15, "Cp a");
    f.real(r.cpb, 9, 15, "Cp b");
    f.real(r.cpc, 1, 9, "Cp c");
    f.real(r.cpd, 4, 10, "Cp d");
    f.text(" % " + TSTR(r.cpnote));
  }
  f.eol();
  f.real(r.a0, 7, 15, "a0");
  f.text(blanks(35) + comment(r.a0note));
  f.eol();
  f.real(r.k0, 2, 15, "K0");
  f.real(r.k0p, 2, 6, "K0'");
  if (ismelt(r.name)) {
    f.real(r.dk0dt, 5, 10, "dK0/dT");
    f.text(blanks(19));
  } else {
    f.text(blanks(29));
  }
  f.text(comment(r.knote));
  f.eol();
  orderline(f, r);
  f.eol();
}

void calorimetry(fileimage& f) {
  for (smallint i = 1; i <= NTOT; ++i) {
    const tdrec& r = TDA[i];
    if (!(r.sdh0 < nocalorimetry)) continue;
    f.record = r.name;
    std::string head = "1  ";
    IO::ADDNAME(r.name, 6, head);
    f.text(head);
    f.real(r.h0, 2, 12, "H");
    f.real(r.sdh0, 2, 9, "sd(H)");
    f.text("    % " + TSTR(r.hnote));
    f.eol();
  }
  f.text("0");
  f.eol();
}

}  // namespace

void WRITEEMDATA() {
  NTP = NTOT;
  fileimage f("writeemdata");
  f.text(DSMODE == 5 ? std::string("6") : IO::INT2STR(DSMODE));
  f.eol();
  f.eol();
  for (smallint i = 1; i <= NTOT; ++i) record(f, TDA[i]);
  f.text("*");
  f.eol();
  if (DSMODE == 5) calorimetry(f);

  if (DSMODE == 5) {
    const std::string rule(64, '-');
    IO::PUTSTR(1, rule, 1, CHANNEL::TERMINAL);
    IO::PUTSTR(0, "with dsmode = 5 at the top of the emfile, the emifile contains", 1, CHANNEL::TERMINAL);
    IO::PUTSTR(0, "(1) the data in the new emfile format, AND (2) the H calorimetric", 1, CHANNEL::TERMINAL);
    IO::PUTSTR(0, "data to put at the head of the xpfile. (Edit/rename/cut & paste)", 1, CHANNEL::TERMINAL);
    IO::PUTSTR(0, rule, 1, CHANNEL::TERMINAL);
  }
  f.write(IO::NEWEMNAME(CONTROLDS.emsuffix));
}

}  // namespace LSQDS
