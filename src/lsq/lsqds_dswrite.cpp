// The new data-set file of calc mode 9, in the layout the data-set reader
// takes: records of versions 5, 6 and 7, the checksum, the covariance of
// the enthalpies and the creation line.
#include <cmath>
#include <cstdlib>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"
#include "lsq/lsqds_fields.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

// Below this first number the data-set reader takes line 1 as a version,
// and at exactly this one as the older generation: a version-5 file of such
// a count cannot be read back, so it is written as version 6.
constexpr smallint firstcountversion5 = 51;
constexpr smallint olddatasetcount = 190;
constexpr int covariancebreak = 120;           // columns after which the covariance block starts a new line
constexpr long double smallcovariance = 0.00005L;  // written as " 0"
constexpr int namecolumns = 7;                 // the short name's columns before the long name

bool ismelt(const std::string& n) { return !n.empty() && n.back() == 'L'; }
bool ision(const std::string& n) { return !n.empty() && (n.back() == '+' || n.back() == '-'); }
bool cvtype(const tdrec& r, smallint version) { return version == 7 && r.eqtype >= 3 && r.eqtype <= 5; }

extended hwritten(smallint i) { return FROMOUTXY ? (*THETA)[i] : TDA[i].h; }

// The value as the file will give it back.
extended aswritten(extended x, smallint places) { return std::strtold(FIXEDTEXT(x, places).c_str(), nullptr); }

void nameline(fileimage& f, smallint i, smallint version) {
  const tdrec& r = TDA[i];
  const std::string& name = PHNAMES[i];
  if (version == 5) {
    std::string n;
    IO::ADDSTR(name, 8, n);
    f.text(n);
  } else {
    // The reader splits the line at blanks, so a long short name keeps one
    // blank before the long name.
    f.text(name);
    f.text(name.size() < namecolumns ? std::string(namecolumns - name.size(), ' ') : std::string(" "));
    f.text(r.formula);
  }
  f.integer(r.nsite, 4, "nsite");
  for (smallint k = 1; k <= r.nform; ++k) {
    f.integer(r.form[k].code, 3, "a formula code");
    f.real(r.form[k].amount, 4, 9, "a formula amount");
  }
  f.text("  0");
  if (i == 1) f.text(std::string(" ") + (NUMERICAL ? "t" : "f") + (QVB ? "t" : "f"));
  f.eol();
}

void landau(fileimage& f, const tdrec& r) {
  f.integer(r.tcrit, 7, "Tc");
  f.real(r.smax, 5, 10, "Smax");
  f.real(r.vmax, 4, 10, "Vmax");
}
void aqueous(fileimage& f, const tdrec& r) { f.real(r.cpaq, 4, 8, "Cp,aq"); }
void braggwilliams(fileimage& f, const tdrec& r) {
  f.real(r.bwdh, 2, 7, "the Bragg-Williams dH");
  f.real(r.bwdv, 4, 7, "the Bragg-Williams dV");
  f.real(r.bww, 2, 7, "the Bragg-Williams W");
  f.real(r.bwwv, 4, 7, "the Bragg-Williams WV");
  f.integer(r.bwn, 6, "the Bragg-Williams n");
  f.real(r.bwfac, 2, 7, "the Bragg-Williams fac");
}

// The order values of version 5, in the order of the code written before
// them, so that the reader finds the values its code asks for.
void ordervalues5(fileimage& f, const tdrec& r) {
  if (r.smax > 0) {
    f.text("    1");
    landau(f, r);
  } else if (r.bwn > 0) {
    f.text("    2");
    braggwilliams(f, r);
  } else if (r.cpaq == 0 && !ision(r.name)) {
    f.text("    0");
  } else {
    f.text("   -1");
    aqueous(f, r);
  }
}

// Versions 6 and 7 take the order values from the type; the values decide
// only where the type reads none.
void ordervalues67(fileimage& f, const tdrec& r) {
  if (r.eqtype == 1 || r.eqtype == 4)
    landau(f, r);
  else if (r.eqtype == 2 || r.eqtype == 5)
    braggwilliams(f, r);
  else if (r.eqtype == 8)
    aqueous(f, r);
  else if (r.smax > 0)
    landau(f, r);
  else if (r.cpaq != 0 || ision(r.name))
    aqueous(f, r);
  else if (r.bwn > 0)
    braggwilliams(f, r);
}

void record(fileimage& f, smallint i, smallint version) {
  const tdrec& r = TDA[i];
  f.record = PHNAMES[i];
  nameline(f, i, version);
  if (version == 5)
    f.text("       ");
  else
    f.integer(r.eqtype, 5, "the property type");
  f.real(hwritten(i), 3, 11, "H");
  f.real(r.s, 5, 10, "S");
  f.real(r.v, 4, 9, "V");
  f.eol();
  f.text("    ");
  if (cvtype(r, version)) {
    f.real(r.cv1, 5, 11, "Cv 1");
    f.real(r.cv2, 10, 15, "Cv 2");
    f.real(r.theta, 1, 10, "theta");
  } else {
    f.real(r.cpa, 4, 11, "Cp a");
    f.real(r.cpb, 9, 15, "Cp b");
    f.real(r.cpc, 1, 10, "Cp c");
    f.real(r.cpd, 4, 10, "Cp d");
  }
  f.eol();
  f.real(r.a0, 7, 18, "a0");
  f.real(r.k0, 2, 9, "K0");
  f.real(r.k0p, 2, 9, "K0'");
  const bool withdk = r.dk0dt < 0 || ismelt(r.name);
  if (version == 5) {
    f.real(r.k0pp, 5, 11, "K0''");
    if (withdk) f.real(r.dk0dt, 5, 11, "dK0/dT");
    ordervalues5(f, r);
  } else {
    if (cvtype(r, version)) {
      // The reader checks K0'' against the K0 and K0' it reads, so it is
      // worked out from those as written.
      const extended k0 = aswritten(r.k0, 2);
      f.real(k0 > 0 ? -aswritten(r.k0p, 2) / k0 : r.k0pp, 5, 11, "K0''");
    }
    if (withdk) f.real(r.dk0dt, 5, 11, "dK0/dT");
    ordervalues67(f, r);
  }
  f.eol();
  if (version != 5) f.eol();
}

void covariances(fileimage& f) {
  IO::INTERNALCHECK(XX != nullptr, "writethermodata", "no covariance table");
  std::size_t col = 0;
  for (smallint i = 1; i <= NTOT; ++i) {
    f.record = PHNAMES[i];
    for (smallint j = i; j <= NTOT; ++j) {
      if (col > covariancebreak) {
        f.eol();
        col = 0;
      }
      const extended c = (*XX)(i, j) * SIG2;
      const std::size_t before = f.line.size();
      if (std::fabs(c) < smallcovariance) {
        f.text(" 0");
      } else {
        const extended w = std::fabs(aswritten(c, 4));
        smallint width = w < 1 ? 7 : w < 10 ? 8 : w < 100 ? 9 : w < 1000 ? 10 : w < 10000 ? 11 : w < 100000 ? 12 : 16;
        if (c <= 0) ++width;
        f.real(c, 4, width, "the covariance with " + PHNAMES[j]);
      }
      col += f.line.size() - before;
    }
  }
}

}  // namespace

void WRITETHERMODATA() {
  NTP = NTOT;
  if (!FROMOUTXY && DSMODE != 7) DSMODE = 6;
  smallint version = DSMODE;
  if (version == 5 && (NTOT < firstcountversion5 || NTOT == olddatasetcount)) version = 6;
  const std::string filename = IO::NEWDATASETNAME(IO::DATAFILENAMESUFFIX);

  fileimage f("writethermodata");
  if (version == 5) {
    f.integer(NTOT, 4, "the count");
  } else {
    f.text(IO::INT2STR(version) + "  " + IO::INT2STR(NTOT));
  }
  f.text("    don't fiddle with the numbers: you'll BREAK the dataset...");
  f.eol();
  f.text("  ");
  f.eol();
  if (version == 5) {
    f.text("5");
    f.eol();
  }
  extended sum = 0;
  for (smallint i = 1; i <= NTOT; ++i) {
    record(f, i, version);
    const tdrec& r = TDA[i];
    sum += (hwritten(i) - 1000.0L * r.s + 5.0L * r.v) / 10000.0L;
  }
  f.eol();
  f.record = "the data set";
  f.real(NTOT > 0 ? -sum / NTOT : 0, 4, 8, "the checksum");
  covariances(f);
  f.eol();
  f.eol();
  f.record = "the fit";
  // The reader cuts exactly this tail off the creation line: it keeps its
  // 18 characters whatever the value.
  const extended sigfit = std::sqrt(SIG2);
  f.checked(sigfit, "sigfit");
  std::string tail = " (sigfit = ";
  IO::ADDSTR(FIXEDTEXT(sigfit, 3), 6, tail);
  f.text(filename + " produced at " + IO::WHENSTRING + tail + ")");
  f.eol();

  f.write(filename);
  IO::PUTSTR(1, "writing data to \"" + IO::FILENAME + "\"", 1, CHANNEL::TERMLOG);
}

}  // namespace LSQDS
