// Calc mode 3 on a made-up system of 12 pure phases with names of 22
// characters in 8 oxide components: eight one-oxide phases and four of
// several oxides, with constant H, S and V chosen so that every reaction
// passes near 5 kbar and 600 C. An intersection of two reactions involves
// ten phases, so its heading, with the two phases not involved after
// " or [", is longer than a line's usual length; it is written whole.
#include <algorithm>
#include <regex>
#include <tuple>
#include <sstream>

#include "harness.h"
#include "madeupdataset.h"

namespace {

using e2e::has;

struct oxide {
  int code, metals, oxygens;
};
const std::vector<oxide> oxides = {{1, 1, 2}, {3, 2, 3}, {4, 1, 1}, {5, 1, 1},
                                   {6, 1, 1}, {7, 1, 1}, {8, 2, 1}, {9, 2, 1}};
// Formula units of each oxide in the phases of several oxides.
const std::vector<std::vector<int>> mixed = {
    {0, 2, 3, 1, 3, 2, 2, 2}, {2, 2, 3, 3, 3, 0, 1, 1}, {1, 1, 2, 0, 1, 2, 2, 3}, {3, 0, 2, 3, 3, 1, 2, 2},
    {1, 2, 0, 2, 1, 1, 3, 1}, {2, 1, 1, 1, 0, 3, 1, 2}, {1, 3, 1, 2, 2, 1, 0, 1}};
constexpr double P0 = 5, T0 = 873.15;

std::string name(int k) { return "ph" + std::string(k < 10 ? "0" : "") + std::to_string(k) + std::string(18, 'x'); }

std::string fixed6(double v) { return e2e::fixed(v, 6); }

// The first nphases phases, in calc mode 3 (every reaction and its
// intersections) or calc mode 2 (average T at 5 kbar).
std::map<std::string, std::string> inputs(int nphases = 12, int calcmode = 3) {
  std::string ds = "7 " + std::to_string(nphases) + " don't alter this line or the layout of the records below, made up for long headings\n\n";
  std::string ax = "% pure phases only\n", with = "with";
  for (int k = 1; k <= nphases; ++k) {
    std::vector<int> n(8, 0);
    if (k <= 8)
      n[static_cast<std::size_t>(k - 1)] = 1;
    else
      n = mixed[static_cast<std::size_t>(k - 9)];
    int units = 0, o = 0;
    ds += name(k) + "  ph" + std::to_string(k) + "long  1 ";
    for (std::size_t j = 0; j < 8; ++j)
      if (n[j] > 0) {
        ds += " " + std::to_string(oxides[j].code) + " " + std::to_string(n[j] * oxides[j].metals) + ".0 ";
        units += n[j];
        o += n[j] * oxides[j].oxygens;
      }
    // S and V grow with the formula; H puts G(P0, T0) a little off zero,
    // differently for each phase, so that the reactions cross near there.
    const double S = 0.02 + 0.02 * units + 0.001 * k, V = 1 + 0.3 * units + 0.01 * ((k * k) % 7);
    const double H = T0 * S - P0 * V + 0.05 * ((k * 37) % 13 - 6);
    ds += " 10 " + std::to_string(o) + ".0  0\n0\n" + fixed6(H) + " " + fixed6(S) + " " + fixed6(V) +
          " 0 0 0 0\n0 0 0\n\n";
    ax += name(k) + "\n";
    with += (k == 7 ? " \\\n" : " ") + name(k);
  }
  ds += "1.0\n";
  for (int i = 0; i < nphases; ++i) {
    ds += "0.04";
    for (int j = i + 1; j < nphases; ++j) ds += " 0";
    ds += "\n";
  }
  ds += "\nmade-up long headings (sigfit =  1.000)\n";
  const std::string calc = calcmode == 3 ? "\ncalctype 1\ndiagramPT 1 9 400 800\ncalcTatP yes\ncalcP 1 9 1\n"
                                           "schreinemakers yes\ninexcess\n"
                                         : "\ncalctype 2\ndataok yes\ndiagramPT 1 20 400 1100\ncalcP 5\nmaxsdt 200\n";
  return {{"jx-prefs.txt", "dsfile 7lh\nscriptfile lh\ncalcmode " + std::to_string(calcmode) + "\n*\n"},
          {"jx-ds7lh.txt", ds},
          {"jx-lhax.txt", ax + "*\n"},
          {"jx-lh.txt", "axfile lhax\n" + with + calc + "autoexit yes\n*\n"}};
}

// Each intersection's heading names the phases involved (ten, or fewer
// where a reaction is degenerate), then " or [" and those that are not: all
// twelve, each once.
TEST(LongNames, IntersectionHeadingsKeepThePhasesNotInvolved) {
  const e2e::Run r = e2e::run({}, "", inputs());
  ASSERT_EQ(r.status, 0) << r.out;
  for (const auto& [file, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << file;
  const std::string& sum = r.files.at("jx-lh-o.txt");
  const std::regex heading(R"(^(# stable|metastable) intersection \d+ involving (.*)  or \[(.*)\]$)");
  int headings = 0;
  std::istringstream in(sum);
  for (std::string l; std::getline(in, l);) {
    if (!has(l, "intersection") || !has(l, " involving ")) continue;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l, m, heading)) << l;
    std::vector<std::string> all;
    std::istringstream involved(m[2].str());
    for (std::string w; involved >> w;) all.push_back(w);
    std::istringstream absent(m[3].str());
    for (std::string w; std::getline(absent, w, ',');) all.push_back(w);
    std::sort(all.begin(), all.end());
    std::vector<std::string> want;
    for (int k = 1; k <= 12; ++k) want.push_back(name(k));
    EXPECT_EQ(all, want) << l;
    ++headings;
  }
  EXPECT_GE(headings, 3) << sum;
}

// Calc mode 2 with 15 end-members: the activity table goes on in blocks of
// 14 and 1, and each block's name line names each of its end-members over
// its activity, however long the names make the line.
TEST(LongNames, ActivityTableNamesEveryEndMember) {
  const e2e::Run r = e2e::run({}, "", inputs(15, 2));
  ASSERT_EQ(r.status, 0) << r.out;
  for (const auto& [file, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << file;
  const std::string& sum = r.files.at("jx-lh-o.txt");
  std::vector<std::string> lines;
  std::istringstream in(sum.substr(sum.find("\nActivities and uncertainties at")));
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_GE(lines.size(), 8u) << sum;
  std::string block1, block2;
  for (int k = 1; k <= 14; ++k) block1 += name(k);
  block2 = name(15);
  for (const auto& [at, want, values] : {std::tuple{2u, block1, 15u}, std::tuple{5u, block2, 2u}}) {
    std::string packed;
    std::istringstream ws(lines[at]);
    for (std::string w; ws >> w;) packed += w;
    EXPECT_EQ(packed, want) << lines[at];
    // and each name a word of its own, none touching the next
    std::istringstream ns(lines[at]);
    std::size_t names = 0;
    for (std::string w; ns >> w;) names += w.size() == name(1).size() ? 1 : 0;
    EXPECT_EQ(names, at == 2u ? 14u : 1u) << lines[at];
    std::istringstream as(lines[at + 1]);
    std::size_t n = 0;
    for (std::string w; as >> w;) ++n;
    EXPECT_EQ(n, values) << lines[at + 1];  // "a" and one activity a column
  }
}

}  // namespace
