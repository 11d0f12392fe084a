// LaTeX tables of the least-squares data set, written to the log: the
// formulae, the thermodynamic properties and the order-disorder, melt and
// aqueous parameters. Nothing in the program calls it.
#include <array>
#include <cmath>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "lsq/lsqds.h"

using namespace ZQGLOBAL;

namespace LSQDS {

namespace {

// Element codes in the order the formulae show them.
constexpr std::array<smallint, 19> elementorder = {8, 9, 7, 5, 4, 6, 15, 16, 18, 19, 3, 2, 1, 12, 11, 17, 13, 10, 14};
constexpr smallint hydrogen = 11, oxygen = 10, charge = 14;
constexpr int formularows = 41;   // rows of one formula table
constexpr int propertyrows = 40;  // rows of one property table

const std::string endtable = "\\hline \\end{tabular}";

void put(smallint before, const std::string& text, smallint after) { IO::PUTSTR(before, text, after, CHANNEL::LOG); }

bool ismelt(const std::string& n) { return !n.empty() && n.back() == 'L'; }

// Text from the end-member file as LaTeX reads it: outside maths a bare "_"
// or "^" would start a sub- or superscript, "&" end a cell, "%" the line,
// "$" open maths, "{" and "}" a group, "#" a parameter and "~" a tie.
std::string latextext(const std::string& t) {
  std::string s;
  for (char c : t) {
    switch (c) {
      case '_':
      case '&':
      case '#':
      case '$':
      case '{':
      case '}':
      case '%':
        s += '\\';
        s += c;
        break;
      case '^':
        s += "\\^{}";
        break;
      case '~':
        s += "\\~{}";
        break;
      default:
        s += c;
    }
  }
  return s;
}

bool iscv(const tdrec& r) { return DSMODE == 7 && r.eqtype >= 3 && r.eqtype <= 5; }

struct term {
  smallint code;
  extended amount;
};

// A subscript: a whole amount as an integer (none for 1), else 1 decimal.
std::string subscript(extended a) {
  const extended n = std::nearbyint(a);
  if (std::fabs(a - n) <= 0.01L) return n == 1 ? std::string() : IO::INT2STR(n);
  return IO::REAL2STR(a, 1, true);
}

std::string plain(const term& t) { return ELNAME[t.code] + "$_{" + subscript(t.amount) + "}$"; }

std::string formulacell(const tdrec& r) {
  std::vector<term> terms;
  for (smallint code : elementorder)
    for (smallint k = 1; k <= r.nform; ++k)
      if (r.form[k].code == code) {
        terms.push_back({code, r.form[k].amount});
        break;
      }
  if (terms.empty()) IO::ERROREXIT("latex", "no ox", yourfault);
  const std::size_t n = terms.size();
  std::string s;
  const bool special = r.name != "H2O" && r.name != "h2oL" && n >= 2;
  const bool hydroxyl = special && terms[n - 2].code == hydrogen && terms[n - 1].code == oxygen;
  const bool ion = special && terms[n - 1].code == charge;
  const std::size_t plainterms = hydroxyl || ion ? n - 2 : n;
  for (std::size_t k = 0; k < plainterms; ++k) s += plain(terms[k]);
  if (hydroxyl) {
    const extended rest = terms[n - 1].amount - terms[n - 2].amount;
    if (std::fabs(rest) >= 0.001L) s += ELNAME[terms[n - 1].code] + "$_{" + subscript(rest) + "}$";
    s += "(OH)$_{" + subscript(terms[n - 2].amount) + "}$";
  } else if (ion) {
    const term& t = terms[n - 2];
    s += ELNAME[t.code] + (t.amount == 1 ? std::string("$") : "$_{" + IO::INT2STR(t.amount) + "}");
    const extended q = std::nearbyint(terms[n - 1].amount);
    const std::string size = std::fabs(q) == 1 ? std::string() : IO::INT2STR(std::fabs(q));
    s += "^{" + size + (q < 1 ? "-}$" : "+}$");
  }
  return s;
}

void formulae() {
  put(2, "% " + std::string(46, '-'), 1);
  put(0, "% end-member formulae", 2);
  for (smallint i = 1; i <= NTP; ++i) {
    if (i % formularows == 1) {
      if (i > 1) {
        put(0, endtable, 1);
        put(0, "\\newpage", 2);
      }
      put(0, "\\begin{tabular}{|p{1.5cm}p{3.5cm}p{4.5cm}|} \\hline", 1);
    }
    const tdrec& r = TDA[i];
    put(0, latextext(r.name) + " & " + latextext(r.formula) + "  & " + formulacell(r) + " \\\\", 1);
  }
  put(0, endtable, 1);
  put(1, "% " + std::string(48, '-'), 1);
}

void propertyheadings(bool anyclassic) {
  const bool seven = DSMODE == 7;
  put(0, "\\scriptsize", 1);
  put(0, seven && !anyclassic ? "\\begin{tabular}{|l|rr|rr|rr|rrrr|r|} \\hline"
                              : "\\begin{tabular}{|l|rr|rr|rrrr|rrrr|r|} \\hline",
      1);
  std::string l = " ";
  IO::ADDSTR("& $\\Delta_{\\rm f}H$ &", 10, l);
  IO::ADDSTR("$\\sigma(\\Delta_{\\rm f}H)$ &", 7, l);
  IO::ADDSTR("$S$ &", 8, l);
  IO::ADDSTR("$V$ &", 8, l);
  if (seven) {
    IO::ADDSTR("$C_V$ & &", -17, l);
    if (anyclassic) IO::ADDSTR(" & &", -18, l);
  } else {
    IO::ADDSTR("$C_P$ & & & &", -35, l);
  }
  IO::ADDSTR("$\\alpha\\, \\kappa$ &", 7, l);
  IO::ADDSTR(" & & & $\\ell$", -23, l);
  put(0, l + "  \\\\", 1);
  l = std::string(41, ' ');
  IO::ADDSTR("& & & & & a &", 8, l);
  IO::ADDSTR("b &", 11, l);
  if (seven && anyclassic) {
    IO::ADDSTR("  &", 9, l);
    IO::ADDSTR("  &", 9, l);
  } else if (!seven) {
    IO::ADDSTR("c &", 9, l);
    IO::ADDSTR("d &", 9, l);
  }
  IO::ADDSTR("$\\alpha_0$ &", 7, l);
  IO::ADDSTR("$\\kappa_0$ &", 8, l);
  IO::ADDSTR("$\\kappa_0'$ &", 7, l);
  IO::ADDSTR("$\\kappa_0''$ &", 8, l);
  put(0, l + "  \\\\ \\hline", 1);
}

void real(extended x, smallint places, smallint width, std::string& l) { IO::ADDREAL(x, places, true, width, l); }

std::string propertyrow(const tdrec& r, const sstring& name, bool anyclassic) {
  std::string l;
  IO::ADDSTR(latextext(name), -8, l);
  IO::ADDSTR(" & ", 0, l);
  real(r.h, 2, 10, l);
  IO::ADDSTR(" & ", 0, l);
  real(r.sdh, 2, 7, l);
  IO::ADDSTR(" & ", 0, l);
  real(1000.0L * r.s, 2, 8, l);
  IO::ADDSTR(" & ", 0, l);
  real(r.v, 3, 8, l);
  IO::ADDSTR(" & ", 0, l);
  if (!iscv(r)) {
    real(r.cpa, 4, 8, l);
    IO::ADDSTR(" & ", 0, l);
    real(1e5L * r.cpb, 4, 9, l);
    IO::ADDSTR(" & ", 0, l);
    real(r.cpc, 1, 9, l);
    IO::ADDSTR(" & ", 0, l);
    real(r.cpd, 4, 9, l);
    IO::ADDSTR(" & ", 0, l);
  } else {
    real(r.cv1, 4, 8, l);
    IO::ADDSTR(" & ", 0, l);
    real(1e5L * r.cv2, 4, 9, l);
    IO::ADDSTR(" & ", 0, l);
    if (anyclassic) IO::ADDSTR(" &  & ", 24, l);
  }
  real(1e5L * r.a0, 2, 7, l);
  IO::ADDSTR(" & ", 0, l);
  real(r.k0, 1, 8, l);
  IO::ADDSTR(" & ", 0, l);
  real(r.k0p, 2, 7, l);
  IO::ADDSTR(" & ", 0, l);
  real(r.k0pp, 4, 8, l);
  if (r.smax > 0)
    IO::ADDSTR(" &  1", 0, l);
  else if (r.bwn > 0.5)
    IO::ADDSTR(" &  2", 0, l);
  else if (r.eqtype == 3)
    IO::ADDSTR(" &  3", 0, l);
  else if (ismelt(r.name))
    IO::ADDSTR(" &  4", 0, l);
  else
    IO::ADDSTR(" & ", 0, l);
  return l + "  \\\\";
}

void properties() {
  bool anyclassic = false;
  if (DSMODE == 7)
    for (smallint i = 1; i <= NTOT; ++i) anyclassic = anyclassic || TDA[i].eqtype < 3;
  put(2, "% " + std::string(46, '-'), 1);
  put(0, "% thermodynamic properties (units : kJ, K, kbar)", 2);
  for (smallint i = 1; i <= NTP; ++i) {
    if (i % propertyrows == 1) {
      if (i > 1) {
        put(0, endtable, 1);
        put(0, "\\newpage", 2);
      }
      propertyheadings(anyclassic);
    }
    put(0, propertyrow(TDA[i], PHNAMES[i], anyclassic), 1);
  }
  put(0, endtable, 1);
  put(1, "% " + std::string(48, '-'), 1);
}

// One parameter table: its start, heading and the rows of the end-members
// it is for.
template <class Rowfor, class Values>
void parametertable(const std::string& start, const std::vector<std::pair<std::string, smallint>>& heading,
                    Rowfor rowfor, Values values) {
  put(0, "\\scriptsize", 1);
  put(0, start, 1);
  std::string h;
  for (const auto& [text, width] : heading) IO::ADDSTR(text, width, h);
  put(0, h + "  \\\\ \\hline", 1);
  for (smallint i = 1; i <= NTP; ++i) {
    const tdrec& r = TDA[i];
    if (!rowfor(r)) continue;
    std::string l;
    IO::ADDSTR(latextext(PHNAMES[i]), -8, l);
    values(r, l);
    put(0, l + "  \\\\", 1);
  }
  put(0, endtable, 1);
  put(1, "% " + std::string(46, '-'), 1);
}

void separated(extended x, smallint places, smallint width, std::string& l) {
  IO::ADDSTR(" & ", 0, l);
  real(x, places, width, l);
}

void parameters() {
  parametertable("\\begin{tabular}{|l|rrr|} \\hline",
                 {{"landau & $Tc$ &", 7}, {"$S_{\\rm max}$ &", 7}, {"$V_{\\rm max}$", 7}},
                 [](const tdrec& r) { return r.smax > 0; },
                 [](const tdrec& r, std::string& l) {
                   separated(r.tcrit, 0, 7, l);
                   separated(1000.0L * r.smax, 2, 7, l);
                   separated(r.vmax, 4, 7, l);
                 });
  parametertable("\\begin{tabular}{|l|rrrrrr|} \\hline",
                 {{"sf & $\\Delta H$ &", 7}, {"$\\Delta V$ &", 7}, {"$W$ &", 7}, {"$W_V$ &", 7}, {"$n$ &", 5},
                  {"fac", 5}},
                 [](const tdrec& r) { return r.bwn > 0.5; },
                 [](const tdrec& r, std::string& l) {
                   separated(r.bwdh, 2, 7, l);
                   separated(r.bwdv, 4, 7, l);
                   separated(r.bww, 2, 7, l);
                   separated(r.bwwv, 4, 7, l);
                   separated(r.bwn, 0, 5, l);
                   separated(r.bwfac, 2, 5, l);
                 });
  parametertable("\\begin{tabular}{|l|r|} \\hline", {{"melt & $d\\kappa_0/dT$", 7}},
                 [](const tdrec& r) { return ismelt(r.name); },
                 [](const tdrec& r, std::string& l) { separated(r.dk0dt, 5, 10, l); });
  parametertable("\\begin{tabular}{|l|r|} \\hline", {{"aq & $C_{P,\\rm aq}$", 7}},
                 [](const tdrec& r) { return r.cpaq > 0; },
                 [](const tdrec& r, std::string& l) { separated(r.cpaq, 4, 8, l); });
}

}  // namespace

void LATEXOUTPUT() {
  formulae();
  properties();
  parameters();
}

}  // namespace LSQDS
