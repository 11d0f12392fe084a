// Tables of the utilities with more values than a line holds: the G and
// fugacity tables go on in blocks, the drawing data's lists in further
// lines, and every value of the grid is in the files. The fixture's phases
// have constant H, S and V, so G = H - T S + (P - 0.001) V; the fugacities
// are checked against a run whose grid fits in a line.
#include <cmath>
#include <map>
#include <sstream>

#include "harness.h"

namespace {

using e2e::has;

// The rows of the blocks that follow a table's title, up to the next line
// that does not start with a blank: per row label (its first width bytes),
// every number after it, block after block.
std::map<std::string, std::vector<double>> blockrows(const std::string& text, const std::string& title,
                                                     std::size_t width) {
  std::map<std::string, std::vector<double>> rows;
  std::size_t at = text.find("\n" + title + "\n");
  if (at == std::string::npos) return rows;
  at = text.find('\n', at + 1) + 1;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    if (line.empty()) continue;
    if (line[0] != ' ') break;
    std::istringstream in(line.substr(std::min(width, line.size())));
    std::vector<double>& v = rows[line.substr(0, width)];
    for (double x = 0; in >> x;) v.push_back(x);
  }
  return rows;
}

// The numbers of the braced list that opens with head, over as many lines
// as it takes, up to its closing "};".
std::vector<double> list(const std::string& text, const std::string& head) {
  std::vector<double> v;
  const std::size_t at = text.find(head);
  if (at == std::string::npos) return v;
  std::string body = text.substr(at + head.size(), text.find("};", at) - at - head.size());
  for (char& c : body)
    if (c == ',' || c == '{' || c == '}') c = ' ';
  std::istringstream in(body);
  for (double x = 0; in >> x;) v.push_back(x);
  return v;
}

std::vector<double> grid(double from, double to, double step) {
  std::vector<double> v;
  for (double x = from; x <= to + 1e-9; x += step) v.push_back(x);
  return v;
}

// The label of a table's temperature row.
const std::string heading = "   kbar \xC2\xB0" "C";

// G of quartz and delta G0 of -q + en - per from the fixture's H, S and V.
double gq(double p, double tc) { return -910.70 - (tc + 273.15) * 0.04150 + (p - 0.001) * 2.2690; }
double dg0(double p, double tc) { return -32.7 + (tc + 273.15) * 0.0024 - 0.261 * (p - 0.001); }

// The end-member table at 2 and 4 kbar, the linearised reaction with its
// error matrix at 4 and 6 kbar, and the H2O and CO2 fugacities at 10 and
// 12 kbar, each over the temperatures given.
std::string answers(const std::string& gtemps, const std::string& ftemps) {
  return "2\n0\n2 4\n" + gtemps + "\ny\n2\n4\n\n\n5\n500\n1\n4 6\n" + gtemps + "\n0\ny\n2\n1\n10 12\n" + ftemps +
         "\nn\n\n";
}

TEST(WideRows, UtilityTablesAndListsHoldEveryValueOfTheGrid) {
  const e2e::Run r = e2e::run({"utilities"}, answers("300 1000 25", "200 980 20"), {}, {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string& sum = r.files.at("jx-tb-o.txt");
  const std::string& qk = r.files.at("jx-tb-qk.txt");
  for (const auto& [name, text] : r.files) EXPECT_FALSE(has(text, "\xA4")) << name;

  const std::vector<double> gt = grid(300, 1000, 25), ft = grid(200, 980, 20);
  ASSERT_EQ(gt.size(), 29u);
  ASSERT_EQ(ft.size(), 40u);

  // G(q): every temperature heads its own value, block after block.
  auto g = blockrows(sum, "G(q)", 11);
  ASSERT_EQ(g[heading].size(), 29u) << sum;
  for (std::size_t j = 0; j < 29; ++j) EXPECT_EQ(g[heading][j], gt[j]);
  for (double p : {2.0, 4.0}) {
    const std::vector<double>& v = g[p == 2 ? "    2.0    " : "    4.0    "];
    ASSERT_EQ(v.size(), 29u) << p;
    for (std::size_t j = 0; j < 29; ++j) EXPECT_NEAR(v[j], gq(p, gt[j]), 6e-5) << p << " " << gt[j];
  }
  // The same tables in the log.
  EXPECT_TRUE(has(r.files.at("jx-log.txt"), sum.substr(sum.find("\nG(q)\n"), sum.find("\nG(en)\n") - sum.find("\nG(q)\n"))));

  // The error matrix: the departures of the exact linear form are all 0;
  // in the drawing data the grid and the full delta G0.
  const std::size_t em = sum.find("(a, b and c includes");
  ASSERT_NE(em, std::string::npos);
  const std::string after = sum.substr(sum.find("\n\n", em));
  std::map<std::string, std::vector<double>> dep;
  {
    std::istringstream in(after);
    std::string line;
    while (std::getline(in, line)) {
      if (line.size() < 8 || line[0] != ' ') continue;
      std::istringstream nums(line.substr(8));
      for (double x = 0; nums >> x;) dep[line.substr(0, 8)].push_back(x);
    }
  }
  ASSERT_EQ(dep["        "].size(), 29u) << after;
  for (std::size_t j = 0; j < 29; ++j) EXPECT_EQ(dep["        "][j], gt[j]);
  for (const char* p : {"    4.00", "    6.00"}) {
    ASSERT_EQ(dep[p].size(), 29u) << p;
    for (double d : dep[p]) EXPECT_EQ(d, 0) << p;
  }
  const std::size_t rt = qk.find("(* reaction thermo for (1) *)");
  ASSERT_NE(rt, std::string::npos) << qk;
  const std::string mat = qk.substr(rt);
  const std::vector<double> ts = list(mat.substr(mat.find("};") + 2), "{");
  ASSERT_EQ(ts.size(), 29u) << mat;
  for (std::size_t j = 0; j < 29; ++j) EXPECT_NEAR(ts[j], gt[j] + 273.15, 0.006);
  const std::vector<double> d = list(mat, "{{");
  ASSERT_EQ(d.size(), 58u) << mat;
  for (std::size_t i = 0; i < 2; ++i)
    for (std::size_t j = 0; j < 29; ++j) EXPECT_NEAR(d[29 * i + j], dg0(4 + 2.0 * i, gt[j]), 6e-5) << i << " " << j;

  // The fluids' temperatures, and RT ln f(H2O) both in the table and in the
  // list, row for row.
  const std::vector<double> flt = list(qk, "flt = {");
  ASSERT_EQ(flt.size(), 40u) << qk;
  for (std::size_t j = 0; j < 40; ++j) EXPECT_NEAR(flt[j], ft[j] + 273.15, 0.06);
  auto h2o = blockrows(sum, "RT ln f(H2O)", 11);
  const std::vector<double> lh2o = list(qk, "rtlnfh2o = {{");
  ASSERT_EQ(lh2o.size(), 80u) << qk;
  ASSERT_EQ(h2o["    10.0   "].size(), 40u) << sum;
  ASSERT_EQ(h2o["    12.0   "].size(), 40u) << sum;
  for (std::size_t j = 0; j < 40; ++j) {
    EXPECT_EQ(lh2o[j], h2o["    10.0   "][j]);
    EXPECT_EQ(lh2o[40 + j], h2o["    12.0   "][j]);
  }

  // A grid that fits in a line, run apart, gives the values of its
  // temperatures that the wide grid holds beyond the first line.
  const e2e::Run tail = e2e::run({"utilities"}, answers("800 1000 25", "800 980 20"), {}, {}, SOLVARINTH_UTILITYRUN);
  ASSERT_EQ(tail.status, 0) << tail.out;
  const std::string& tsum = tail.files.at("jx-tb-o.txt");
  for (const auto& [f, width] : std::vector<std::pair<std::string, std::size_t>>{{"RT ln f(H2O)", 11}, {"RT ln f(CO2)", 11}}) {
    SCOPED_TRACE(f);
    auto wide = blockrows(sum, f, width), narrow = blockrows(tsum, f, width);
    ASSERT_EQ(narrow.size(), 3u) << tsum;
    for (auto& [label, v] : narrow) {
      if (label == heading) continue;
      ASSERT_EQ(v.size(), 10u) << label;
      ASSERT_EQ(wide[label].size(), 40u) << label;
      for (std::size_t j = 0; j < 10; ++j) EXPECT_EQ(wide[label][30 + j], v[j]) << label << " " << j;
    }
  }
}

}  // namespace
