// Calc mode 1's own records drawn: T-x(CO2) and P-x(CO2) sections of a
// made-up magnesian system (periclase pe, magnesite mk, brucite br, an ideal
// H2O-CO2 fluid), whose x(CO2) lists reach below 0.001, so that the rows
// carry x to 7, 6, 5 and 4 decimals (4 significant figures), the first row
// outside the window. Each section's two lines (br and mk each at zero
// mode) are drawn with their crossing as the point, each phase present on
// its own side of its own line as the program's rows give it: every place
// of a grid off the lines must lie in one polygon, each polygon's places in
// one field; a refusal must say why.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "../support/rings.h"
#include "harness.h"

namespace {

std::string dataset(const std::string& brucite) {
  return "7 5 don't alter this line or the layout of the records below: a made-up magnesian system\n\n"
    "pe  pex  1  5 1.0  10 1.0  0\n0\n-600.90 0.0271 1.13 0 0 0 0\n0 0 0\n\n"
    "mk  mkx  1  5 1.0  12 1.0  10 3.0  0\n0\n-1125.00 0.0660 2.80 0 0 0 0\n0 0 0\n\n"
    "br  brx  1  5 1.0  11 2.0  10 2.0  0\n0\n" + brucite + " 0.0632 2.46 0 0 0 0\n0 0 0\n\n"
    "H2O  water  1  11 2.0  10 1.0  0\n0\n-241.81 0.1888 0 0.04 0 0 0\n0 0 0\n\n"
    "CO2  carbon  1  12 1.0  10 2.0  0\n0\n-393.51 0.2137 0 0.045 0 0 0\n0 0 0\n\n"
    "4321.0\n0.0025 0 0 0 0\n0.0025 0 0 0\n0.0025 0 0\n0.0025 0\n0.0025\n\nmade-up set mg (sigfit =  0.000)\n";
}
const std::string ax = "fluid 2 1\n  x(fluid) 0.4\n  p(H2O) 1 1 1 1 -1 x\n  p(CO2) 1 1 0 1 1 x\n  ideal\n  2\n"
                       "  xH 1 1 1 1 -1 x\n  xC 1 1 0 1 1 x\n  H2O 1 1 xH 1\n  CO2 1 1 xC 1\npe\nmk\nbr\n*\n";

struct section {
  std::string figure, calc;  // the figure and the settings of P and T
  int ycol;                  // P (1) or T (2) up, x(CO2) (3) across
  int below;                 // 1: a phase is present below its line, -1 above
  double xlow, xhigh, ylow, yhigh;
  std::string brucite;  // its enthalpy: where its line crosses magnesite's
};

// The rows of one line, as written, with br or mk at zero mode.
std::vector<std::vector<std::string>> line(const section& s, const std::string& zero) {
  const std::string script = "axfile mgax\nwith fluid pe " + zero + "\ninexcess\nfigure " + s.figure +
                             "\ndiagramPT 0.5 16 300 1300\npseudosection\nbulk H2O CO2 MgO\nbulk 10 10 80\n" +
                             s.calc + "zeromodeiso yes " + zero + "\nmodeiso no\nxyzguess x(fluid) 0.5\nautoexit yes\n*\n";
  const e2e::Run r = e2e::run({}, "", {{"jx-prefs.txt", "dsfile 7mg\nscriptfile mg\ncalcmode 1\n"},
                                       {"jx-ds7mg.txt", dataset(s.brucite)}, {"jx-mgax.txt", ax}, {"jx-mg.txt", script}});
  EXPECT_EQ(r.status, 0) << r.out;
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(r.files.count("jx-mg-qk.txt") ? r.files.at("jx-mg-qk.txt") : "");
  // A row: three words, each followed by one blank, then a comment.
  for (std::string l; std::getline(in, l);) {
    std::vector<std::string> w;
    std::size_t i = 0;
    while (w.size() < 3) {
      const std::size_t j = l.find(' ', i);
      if (j == std::string::npos || j == i) break;
      w.push_back(l.substr(i, j - i));
      i = j + 1;
    }
    if (w.size() == 3 && i < l.size() && l[i] == '%') rows.push_back(w);
  }
  return rows;
}

// Where a line of rows runs at x, straight between them.
double at(const std::vector<std::vector<std::string>>& rows, int ycol, double x) {
  for (std::size_t k = 0; k + 1 < rows.size(); ++k) {
    const double x0 = std::stod(rows[k][2]), x1 = std::stod(rows[k + 1][2]);
    if (x0 <= x && x <= x1) {
      const double y0 = std::stod(rows[k][ycol - 1]), y1 = std::stod(rows[k + 1][ycol - 1]);
      return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
    }
  }
  return NAN;
}

TEST(DrawCalcRecords, SectionsWhoseXListsReachBelowAThousandthAreDrawnRight) {
  const section sections[] = {{"T-x(CO2)", "calcx(CO2) 0.0002 0.2 0.002\ncalcTatP yes\ncalcP 2\ncalcT 300 1300\n", 2, 1,
                               0.001, 0.2, 420, 660, "-935.00"},
                              {"T-x(CO2)", "calcx(CO2) 0.0002 0.95 0.01\ncalcTatP yes\ncalcP 2\ncalcT 300 1300\n", 2, 1,
                               0.05, 0.9, 600, 760, "-959.50"},
                              {"P-x(CO2)", "calcx(CO2) 0.0002 0.05 0.001\ncalcTatP no\ncalcP 0.5 16\ncalcT 520\n", 1,
                               -1, 0.001, 0.03, 0.6, 3, "-935.00"}};
  for (const section& s : sections) {
    const std::vector<std::vector<std::string>> br = line(s, "br"), mk = line(s, "mk");
    ASSERT_GT(br.size(), 10u) << s.figure;
    ASSERT_GT(mk.size(), 10u) << s.figure;
    EXPECT_EQ(br[0][2], "0.0002000");
    // the phases beside a line at x: pe and fluid, and the other phase
    // where the place lies on its side of its own line
    auto field = [&](double x, double y) {
      std::string f = "fluid pe";
      if (s.below * (at(br, s.ycol, x) - y) > 0) f += " br";
      if (s.below * (at(mk, s.ycol, x) - y) > 0) f += " mk";
      return f;
    };
    // the crossing: where the lines change sides between two rows of br
    double xc = NAN;
    for (std::size_t k = 0; k + 1 < br.size() && std::isnan(xc); ++k) {
      const double x0 = std::stod(br[k][2]), x1 = std::stod(br[k + 1][2]);
      const double d0 = at(mk, s.ycol, x0) - std::stod(br[k][s.ycol - 1]);
      const double d1 = at(mk, s.ycol, x1) - std::stod(br[k + 1][s.ycol - 1]);
      if (d0 * d1 < 0 && x0 > s.xlow) xc = x0 + (x1 - x0) * d0 / (d0 - d1);
    }
    ASSERT_FALSE(std::isnan(xc)) << s.figure;
    std::ostringstream f;
    f << "3 3 3 " << s.ycol << "\ni1 fluid pe - br mk crossover u1 u3\n";
    auto piece = [&](const char* name, const std::vector<std::vector<std::string>>& rows, const std::string& zero,
                     const char* ends, double x) {
      const double y = at(rows, s.ycol, x), dy = s.below * 1e-6 * (s.yhigh - s.ylow);
      // the phases on the line: its own zero left out
      std::string phases = field(x, y + dy);
      for (std::size_t z; (z = phases.find(" " + zero)) != std::string::npos;) phases.erase(z, zero.size() + 1);
      f << name << " " << phases << " - " << zero << " " << ends << "\n";
      for (const auto& r : rows) f << "  " << r[0] << " " << r[1] << " " << r[2] << "\n";
    };
    piece("u1", br, "br", "begin i1", (s.xlow + xc) / 2);
    piece("u2", br, "br", "i1 end", (xc + s.xhigh) / 2);
    piece("u3", mk, "mk", "begin i1", (s.xlow + xc) / 2);
    piece("u4", mk, "mk", "i1 end", (xc + s.xhigh) / 2);
    f << "*\n*\nwindow " << s.xlow << " " << s.xhigh << " " << s.ylow << " " << s.yhigh
      << "\nbigticks 0 0 0 0\nanalyse\ncircles no\n*\n";
    const e2e::Run d = e2e::run({}, "",
                                {{"jx-prefs.txt", "dsfile 62\nscriptfile ff\ncalcmode 1\n"},
                                 {"jx-ff.txt", "% drawing only\n*\n"},
                                 {"qk-ff.txt", f.str()}},
                                {}, SOLVARINTH_DRAWFILE);
    if (d.status != 0) {
      EXPECT_TRUE(e2e::has(d.out, "-- run bombed in ")) << s.figure << d.out;
      continue;
    }
    // the polygons in the picture's units; the frame is 60..520 x 44..504
    const std::string svg = d.files.at("jx-ff.svg");
    const std::string group = svg.substr(svg.find("<!-- areas -->"), svg.find("\n  </g>") - svg.find("<!-- areas -->"));
    std::vector<drawtest::ring> polys;
    // Long point lists are found by hand: the library's regular expressions
    // recurse once a character and run out of stack on them.
    for (std::size_t p = group.find("points=\""); p != std::string::npos; p = group.find("points=\"", p)) {
      p += 8;
      const std::size_t q = group.find('"', p);
      std::istringstream in(group.substr(p, q - p));
      p = q;
      polys.emplace_back();
      for (double px = 0, py = 0; in >> px >> py;) polys.back().push_back({px, py});
    }
    ASSERT_EQ(polys.size(), 4u) << s.figure << "\n" << f.str() << svg;
    std::vector<std::string> fieldof(polys.size());
    int checked = 0;
    for (int i = 0; i < 81; ++i)
      for (int j = 0; j < 81; ++j) {
        const double u = (i + 0.5) / 81, v = (j + 0.5) / 81;
        const double x = s.xlow + u * (s.xhigh - s.xlow), y = s.ylow + v * (s.yhigh - s.ylow);
        // off the lines by a picture unit, and the place in the picture
        const double unit = (s.yhigh - s.ylow) / 460;
        if (std::fabs(at(br, s.ycol, x) - y) < unit || std::fabs(at(mk, s.ycol, x) - y) < unit) continue;
        const double px = 60 + 460 * u, py = 504 - 460 * v;
        std::vector<std::size_t> in;
        for (std::size_t k = 0; k < polys.size(); ++k)
          if (drawtest::within(polys[k], {px, py})) in.push_back(k);
        ASSERT_EQ(in.size(), 1u) << s.figure << " at " << x << " " << y << "\n" << f.str();
        std::string& own = fieldof[in[0]];
        if (own.empty()) own = field(x, y);
        ASSERT_EQ(own, field(x, y)) << s.figure << " at " << x << " " << y << "\n" << f.str();
        ++checked;
      }
    EXPECT_GT(checked, 6000) << s.figure;
  }
}

}  // namespace
