// A name given twice inside one a-x model, and an end-member that two
// phases of a calculation give, met by whole runs.
//
// mix: ideal one-site solution of ma (MgO) and mb (FeO) of the made-up lr
// set, mu(FeO) held at -1195 kJ, 600 C; G = H - TS + V(P - 0.001), and
// mu(FeO) = G(mb) + RT ln x. Worked out apart in mpmath: x(mix) 0.390861,
// 0.116301, 0.0346056 at 3, 7, 11 kbar; with mb made as mbd = mb + 5 kJ:
// 0.196295, 0.058408, 0.0173794. With two sites of each fraction (a(mb)
// = x^2) x is the square root of the first: 0.625189, 0.341029, 0.186026.
//
// sil (made-up magnesium silicates): mta + sil = 2 mtb has dH 16.0668,
// dS 0, dV -5, so T = -(dH + dV (P - 0.001)) / (R ln K) with
// ln K = -ln a(sil): a = 0.5 gives 408.46 C at 4 kbar.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"

using e2e::has;

namespace {

const std::string mixscript =
    "axfile lrax\nwith mix\ninexcess\nmu FeO -1195\nautoexit yes\ncalcP 3 11 4\ncalcT 600\n"
    "diagramPT 1 12 300 1000\npseudosection no\n*\n";
const std::string mixprefs = "dsfile 7lr\nscriptfile b\ncalcmode 1\n";

// mix with its site fractions and end-members as given, then pz and pr.
std::string mix(const std::string& sitefractions, const std::string& mboptions, const std::string& mb = "mb") {
  return "mix 2 1\n  x(mix) 0.5\n  p(ma) 1 1 1 1 -1 x\n  p(" + mb + ") 1 1 0 1 1 x\n  ideal\n" + sitefractions +
         "  ma 1 1 xA 1\n  " + mb + " 1 1 xB 1 " + mboptions + "\npz\npr\n*\n";
}
const std::string twosf = "  2\n  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n";

std::string edit(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

e2e::Run mixrun(const std::string& ax) {
  return e2e::run({"lnarow"}, "", {{"jx-lrax.txt", ax}, {"jx-b.txt", mixscript}, {"jx-prefs.txt", mixprefs}});
}

void expectx(const e2e::Run& r, const char* const (&rows)[3], const std::string& what) {
  EXPECT_EQ(r.status, 0) << what << "\n" << r.out;
  for (const char* row : rows) EXPECT_TRUE(has(r.out, row)) << what << ": " << row << "\n" << r.out;
}

void expectstop(const e2e::Run& r, const std::string& message) {
  EXPECT_EQ(r.status, 1) << message;
  EXPECT_TRUE(has(r.out, "-- run bombed in " + message)) << r.out;
}

TEST(AxRepeatedNames, ASiteFractionOrDqfWrittenTwiceAlikeIsTheModelWrittenOnce) {
  const char* const plain[3] = {"   3.000   600.000    0.3909\n", "   7.000   600.000    0.1163\n",
                                "  11.000   600.000   0.03461\n"};
  expectx(mixrun(mix(twosf, "")), plain, "once");
  expectx(mixrun(mix("  3\n  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  xB 1 1 0 1 1 x\n", "")), plain, "xB twice");
  // The second xA another expression: a stop, not mb's activity from the first.
  expectstop(mixrun(mix("  2\n  xA 1 1 1 1 -1 x\n  xA 1 1 0 1 1 x\n", "")),
             "setup phases : xA given twice in the site fractions of mix with different values");

  const char* const dqf[3] = {"   3.000   600.000    0.1963\n", "   7.000   600.000   0.05841\n",
                              "  11.000   600.000   0.01738\n"};
  expectx(mixrun(mix(twosf, "make 1 mb 1 DQF 5 0 0", "mbd")), dqf, "DQF once");
  expectx(mixrun(mix(twosf, "make 1 mb 1 DQF 5 0 0 DQF 5 0 0", "mbd")), dqf, "DQF twice alike");
  expectstop(mixrun(mix(twosf, "make 1 mb 1 DQF 5 0 0 DQF 1 0 0", "mbd")),
             "setup phases : DQF of mbd given twice in mix with different values");
}

// A factor written twice in an ideal-mixing term is the product: the run of
// the factor to the power 2, byte for byte.
TEST(AxRepeatedNames, AFactorWrittenTwiceIsItsSquare) {
  const char* const squared[3] = {"   3.000   600.000    0.6252\n", "   7.000   600.000    0.3410\n",
                                  "  11.000   600.000    0.1860\n"};
  const std::string power = edit(edit(mix(twosf, ""), "ma 1 1 xA 1", "ma 1 1 xA 2"), "mb 1 1 xB 1", "mb 1 1 xB 2");
  const e2e::Run p = mixrun(power);
  expectx(p, squared, "power 2");
  const e2e::Run twice =
      mixrun(edit(edit(power, "ma 1 1 xA 2", "ma 1 2 xA 1 xA 1"), "mb 1 1 xB 2", "mb 1 2 xB 1 xB 1"));
  expectx(twice, squared, "written twice");
  EXPECT_EQ(e2e::stamped(twice.out), e2e::stamped(p.out));
}

// calc mode 1's ln a on a pure phase ma whose end-member mix gives too: the
// variable went on mix's ma.
TEST(AxRepeatedNames, AnLnAVariableOnAnEndMemberOfTwoPhasesStops) {
  const std::string script =
      "axfile lrax\nwith mix ma\ninexcess\nlna yes ma -0.3\ncalcP 3 11 4\ncalcT 600\ndiagramPT 1 12 300 1000\n"
      "pseudosection no\nautoexit yes\n*\n";
  expectstop(e2e::run({"lnarow"}, "",
                      {{"jx-lrax.txt", edit(mix(twosf, ""), "\npz\n", "\nma\npz\n")}, {"jx-lr.txt", script}}),
             "setuploops : ln a: ma is an end-member of two phases of the calculation");
}

const std::string silscript =
    "axfile lnax\nwith PHASES\ncalctype 1\ndiagramPT 1 8 300 700\ncalcTatP yes\ncalcP 1 8 1\nLINES"
    "schreinemakers yes\n*\n";

e2e::Run silrun(const std::string& phases, const std::string& ax, const std::string& lines) {
  std::string s = silscript;
  s.replace(s.find("PHASES"), 6, phases);
  s.replace(s.find("LINES"), 5, lines);
  return e2e::run({"ptxlna"}, "n\n\n",
                  {{"jx-lnax.txt", ax}, {"jx-s.txt", s}, {"jx-prefs.txt", "dsfile 7ln\nscriptfile s\ncalcmode 3\n"}});
}

TEST(AxRepeatedNames, AnEndMemberOfTwoPhasesIsRefusedWhereItIsNamed) {
  const std::string two = "mta\nmtb\nmtc\nsil 0.3\nsilb 1 sil 0.5\n*\n";
  const e2e::Run once = silrun("mta mtb mtc sil", "mta\nmtb\nmtc\nsil 0.3\n*\n", "seta sil 0.5\ninexcess\n");
  EXPECT_EQ(once.status, 0) << once.out;
  EXPECT_TRUE(has(once.out, "408.46")) << once.out;
  // sil of sil and of silb: the value would reach one of the two only.
  expectstop(silrun("mta mtb mtc sil silb", two, "seta sil 0.9\ninexcess\n"),
             "extractem : seta: sil is an end-member of two phases of the calculation");
  expectstop(silrun("mta mtb mtc sil silb", two, "inexcess sil\n"),
             "inexcess : in excess: sil is an end-member of two phases of the calculation");

  // calc mode 2's typed activity edit
  const std::string avscript = "axfile lnax\nwith PHASES\ncalctype 1\ndataok no\ndiagramPT 1 8 300 700\ncalcT 500\n"
                               "maxsdp yes 20\nautoexit yes\n*\n";
  auto avrun = [&](const std::string& phases, const std::string& ax) {
    std::string s = avscript;
    s.replace(s.find("PHASES"), 6, phases);
    return e2e::run({"ptxlna"}, "n\n\ny\nsil\n0.85\n0.05\n*\n",
                    {{"jx-lnax.txt", ax}, {"jx-s.txt", s}, {"jx-prefs.txt", "dsfile 7ln\nscriptfile s\ncalcmode 2\n"}});
  };
  const e2e::Run typed = avrun("mta mtb mtc sil", "mta 0.9\nmtb\nmtc 0.8\nsil 0.3\n*\n");
  EXPECT_EQ(typed.status, 0) << typed.out;
  // the typed value stands in the table (no other entry reads 0.850)
  EXPECT_TRUE(has(typed.out, "0.850")) << typed.out;
  expectstop(avrun("mta mtb mtc sil silb", "mta 0.9\nmtb\nmtc 0.8\nsil 0.3\nsilb 1 sil 0.5\n*\n"),
             "rockcalcs : activity: sil is an end-member of two phases of the calculation");
}

}  // namespace

namespace {

// sx: the symmetric binary of sil and mtc at x(mtc) = 0.3, W = 10 kJ, of the
// made-up magnesium silicates, each end-member's ideal-mixing term as given.
std::string sx(const std::string& sil, const std::string& mtc) {
  return "sx 2 1\n  x(sx) 0.3\n  p(sil) 1 1 1 1 -1 x\n  p(mtc) 1 1 0 1 1 x\n  sf\n  W(sil,mtc) 10 0 0\n  2\n"
         "  xA 1 1 1 1 -1 x\n  xB 1 1 0 1 1 x\n  sil " + sil + "\n  mtc " + mtc + "\nmta\nmtb\n*\n";
}

// The activities at 5 kbar, 500 C in calc mode 3, or calc mode 2's average
// P at 500 C.
e2e::Run sxrun(int mode, const std::string& ax) {
  const std::string common =
      "axfile sxax\nwith sx mta mtb\ncalctype 1\ndiagramPT 1 8 300 700\nautoexit yes\nptforaxe 5 500\n";
  const std::string script = mode == 3 ? common + "calcTatP yes\ncalcP 1 8 1\ninexcess\nschreinemakers no\n*\n"
                                       : common + "maxsdp yes 20\ndataok yes\ncalcT 500\n*\n";
  return e2e::run({"ptxlna"}, mode == 3 ? "n\n\n\n\n" : "\n\n\n\n\n\n\n\n",
                  {{"jx-sxax.txt", ax}, {"jx-s.txt", script},
                   {"jx-prefs.txt",
                    "dsfile 7ln\nscriptfile s\ncalcmode " + std::to_string(mode) + "\nsetpagewidth 250\n"}});
}

std::string fixed4(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", v);
  return text;
}

}  // namespace

// One product written as one factor or as several of one site fraction
// (xB^n as xB n, n times xB 1, xB n-1 xB 1, xB 1/2 xB n-1/2) is one model:
// the activities, every sd derived from them and calc mode 2's average P
// are those of the one-factor writing. Own sd(a) of calc mode 3 (closed
// form): the W's sd is 2 kJ times the mean largest power, (1 + n)/2; with
// q = x^2 for sil and (1 - x)^2 for mtc, sd(a) = a q sd(W) / RT.
TEST(AxRepeatedNames, OneProductWrittenAnyWayGivesEveryResultTheSame) {
  const double x = 0.3, w = 10, rt = 0.0083144 * 773.15;
  for (const int n : {2, 3}) {
    const std::string nn = std::to_string(n);
    std::string times = "1 " + nn;
    for (int k = 0; k < n; ++k) times += " xB 1";
    const std::vector<std::string> writings = {"1 1 xB " + nn, times, "1 2 xB " + std::to_string(n - 1) + " xB 1",
                                               "1 2 xB 1/2 xB " + std::to_string(2 * n - 1) + "/2"};
    const double sdw = 1 + n, asil = (1 - x) * std::exp(x * x * w / rt),
                 amtc = std::pow(x, n) * std::exp((1 - x) * (1 - x) * w / rt);
    const std::string sil = "sil: a =   " + fixed4(asil) + ", sd(a) =   " + fixed4(asil * x * x * sdw / rt),
                      mtc = "mtc: a =   " + fixed4(amtc) + ", sd(a) =   " + fixed4(amtc * (1 - x) * (1 - x) * sdw / rt);
    const e2e::Run one3 = sxrun(3, sx("1 1 xA 1", writings[0]));
    const e2e::Run one2 = sxrun(2, sx(edit(writings[0], "xB", "xA"), "1 1 xB 1"));
    EXPECT_TRUE(has(one3.out, sil) && has(one3.out, mtc)) << sil << "\n" << mtc << "\n" << one3.out;
    ASSERT_TRUE(one2.files.count("jx-s-o.txt") && has(one2.files.at("jx-s-o.txt"), "avP")) << one2.out;
    for (const std::string& wr : writings) {
      SCOPED_TRACE(wr);
      const e2e::Run m3 = sxrun(3, sx("1 1 xA 1", wr));
      EXPECT_EQ(m3.status, 0) << m3.out;
      EXPECT_EQ(e2e::stamped(m3.out), e2e::stamped(one3.out));
      std::string silwr = wr;
      for (std::size_t at = silwr.find("xB"); at != std::string::npos; at = silwr.find("xB"))
        silwr.replace(at, 2, "xA");
      const e2e::Run m2 = sxrun(2, sx(silwr, "1 1 xB 1"));
      EXPECT_EQ(m2.status, 0) << m2.out;
      EXPECT_EQ(e2e::stamped(m2.out), e2e::stamped(one2.out));
      EXPECT_EQ(e2e::stamped(m2.files.at("jx-s-o.txt")), e2e::stamped(one2.files.at("jx-s-o.txt")));
    }
  }
}
