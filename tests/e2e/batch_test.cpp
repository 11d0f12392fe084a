// A batch run of the built program on the made-up loop of alp and bet:
// three items, the "with" list in another order than the a-x file, one of
// them with alp held and T solved for; their rows in the csv files, the
// equil list and the results block of the drawing data file.
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "../support/csvparse.h"
#include "braces.h"
#include "harness.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string script =
    "axfile lpax\nwith bet alp\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
    "batchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\n"
    "batch bet alp 2 1 1 5 626.85 1 1 0 0\n"
    "batch bet alp 2 1 1 5 626.85 1 1 0 1 alp 1 0.35\n"
    "batch bet alp 2 1 1 9 626.85 1 1 0 0\n"
    "debuglevel 0\nautoexit\n*\n";

TEST(BatchRun, ThreeItemsOnOneCsvLine) {
  const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", script}});
  // A batch run, like a dogmin run, ends with the time it took.
  EXPECT_TRUE(std::regex_search(r.out, std::regex("=\n(elapsed = [0-9]+ msecs, n = [0-9]+\n)\n$"))) << r.out;
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& csv = r.files.at("jx-lp.csv");
  // Items without a bulk solve for no modes: their groups hold none.
  EXPECT_TRUE(has(csv, "   #,        1-P,        1-T,   1-x(alp),   1-x(bet),    #,        2-P, ")) << csv;
  EXPECT_TRUE(has(csv, "\n   1,      5.000,     626.85,    0.40807,    0.51558,"
                       "    1,      5.000,     685.93,    0.35000,    0.42004,"
                       "    1,      9.000,     626.85,    0.42962,    0.55752, \n"))
      << csv;
  EXPECT_TRUE(has(r.files.at("jx-lp-2.csv"), "   #,        1-G,        1-H,        1-S,        1-V,      1-rho, "));
  const std::string& qk = r.files.at("jx-lp-qk.txt");
  EXPECT_TRUE(has(qk, " equil = {\n{ (* 1 *) {\"alp\", \"bet\"},\n {\"x(alp)\", \"x(bet)\"}},\n")) << qk;
  EXPECT_TRUE(has(qk, " results = {\n")) << qk;
  EXPECT_TRUE(has(qk, " {{ (* 2 *) { 5.000, 685.93}, {0.3500, 0.4200}}},\n")) << qk;
  const std::string& o = r.files.at("jx-lp-o.txt");
  EXPECT_TRUE(has(o, "starting to accumulate results")) << o;
  EXPECT_TRUE(has(o, "\n1 1 4 5.000 626.85 0.4081 0.5156 \n2 1 4 5.000 685.93 0.3500 0.4200 \n")) << o;
}

// Two items of the mx1-mx2 solvus at 5 kbar, of three and two temperatures,
// filtered on x(mx1), T and x(mx2) as named in the script or by number.
std::string filtered(const std::string& mx1, const std::string& t, const std::string& mx2) {
  const std::string f = "filter 1 " + mx1 + " 0 0.2\nfilter 1 " + t + " 0 700\n";
  return "axfile mxax\nwith mx1 mx2\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
         "batchxyzguess startblock\nbatchxyzguess x(mx1) 0.1\nbatchxyzguess x(mx2) 0.9\n"
         "batch mx1 mx2 2 1 3 5 600 626.85 650 1 1 0 0\n" +
         f + "filter 1 " + mx2 + " 0.5 1\nbatch mx1 mx2 2 1 2 5 626.85 650 1 1 0 0\n" + f +
         "debuglevel 0\nautoexit\n*\n";
}

// The score is the largest of 2 (v - mid) / (high - low) over the rows:
// T 650 C against 0 to 700 C gives 0.857.
TEST(BatchRun, FiltersByNameScoreAsByNumber) {
  const e2e::Run bycode = e2e::run({"loop"}, "", {{"jx-lp.txt", filtered("3", "2", "4")}});
  const e2e::Run byname = e2e::run({"loop"}, "", {{"jx-lp.txt", filtered("x(mx1)", "T", "x(mx2)")}});
  ASSERT_FALSE(has(byname.out, "bombed")) << byname.out;
  const std::string& qk = byname.files.at("jx-lp-qk.txt");
  EXPECT_TRUE(has(qk, " {{ (* 2 *) { 5.000, 626.85}, {0.1010, 0.8990}},\n"
                      "  {         {5.000, 650.00}, {0.1116, 0.8884}}},     0.857}};\n"))
      << qk;
  for (const char* f : {"jx-lp-qk.txt", "jx-lp.csv", "jx-lp-2.csv"})
    EXPECT_EQ(byname.files.at(f), bycode.files.at(f)) << f;
  EXPECT_EQ(e2e::stamped(byname.files.at("jx-lp-o.txt")), e2e::stamped(bycode.files.at("jx-lp-o.txt")));
  // A name that none of the item's variables has is a fault of the script.
  const e2e::Run bad = e2e::run({"loop"}, "", {{"jx-lp.txt", filtered("x(mx1)", "T", "x(mx3)")}});
  EXPECT_TRUE(has(bad.out, "-- run bombed in setupbatch : unrecognised variable name")) << bad.out;
  EXPECT_FALSE(has(bad.out, "starting to accumulate results")) << bad.out;
}

std::string loopbatch(const std::string& items) {
  return "axfile lpax\nwith alp bet per pa pb\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
         "batchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\nmcbulk 50 50 0\n" +
         items + "debuglevel 0\nautoexit\n*\n";
}

// An item without a bulk after a pseudosection item is solved with the
// run's own components, as when it comes first: x(alp) and x(bet) of the
// ideal loop at 5 kbar and 600 C are 0.421815 and 0.546813 (closed form
// from the end-members' G, with V acting from 1 bar).
TEST(BatchRun, ItemAfterAPseudosectionItemHasTheRunsComponents) {
  const e2e::Run r = e2e::run(
      {"loop"}, "",
      {{"jx-lp.txt", loopbatch("batch per pa 2 1 1 5 600 1 1 1 0 0 0\nbatch alp bet 2 1 1 5 600 1 1 0 0\n")}});
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  EXPECT_FALSE(has(r.out, "@")) << r.out;
  const std::string& csv = r.files.at("jx-lp.csv");
  EXPECT_TRUE(has(csv, "    1,      5.000,     600.00,    0.42181,    0.54681, \n")) << csv;
  EXPECT_FALSE(has(csv, "-1")) << csv;
  EXPECT_TRUE(has(r.files.at("jx-lp-qk.txt"), " {{ (* 1 *) { 5.000, 600.00}, {")) << r.files.at("jx-lp-qk.txt");
}

// An item mixing a bulk without FeO (50 SiO2, 50 MgO) at 0.25 with one
// that has it (20, 40, 40) holds per and pa only, so the FeO drops out and
// the rest, 27.5 and 42.5, is the rock 11 SiO2 : 17 MgO, the third bulk
// given directly. Per mole of oxide, with G = H - TS + V(P - 0.001) from
// the data set and RT ln 0.9 on per (worked out with mpmath):
// G = (11 G(pa) + 17 G(per)) / 28 = -1501.5307 and V = (11 x 3 + 17 x 2.05)
// / 28 = 2.4232 at 5 kbar and 600 C.
TEST(BatchRun, MixedBulkIsTheSameRockGivenDirectly) {
  const e2e::Run r = e2e::run({"loop"}, "",
                              {{"jx-lp.txt", loopbatch("mcbulk 20 40 40\nmcbulk 11 17 0\n"
                                                       "batch per pa 2 1 1 5 600 1 1 1 2 0.25 0 0\n"
                                                       "batch per pa 2 1 1 5 600 1 1 3 0 0 0\n")}});
  ASSERT_FALSE(has(r.out, "bombed")) << r.out;
  const std::string& csv2 = r.files.at("jx-lp-2.csv");
  const std::vector<csvparse::row> rows = csvparse::rows(csv2);
  ASSERT_EQ(rows.size(), 2U) << csv2;
  const csvparse::row& got = rows[1];
  // "#", G, H, S, V, rho for each item, and the empty cell after the last.
  ASSERT_EQ(got.size(), 13U) << csv2;
  for (std::size_t c = 1; c < 6; ++c) EXPECT_EQ(got[c], got[c + 6]) << c;
  EXPECT_EQ(got[1], "  -1501.531");
  EXPECT_EQ(got[4], "      2.423");
}

// Items that fail are failed rows of a run that is judged and written: the
// items after them are calculated, the results list is closed, the summary
// has every row. An item that cannot be calculated at all (pa and pb, one
// reaction, given variance 2 where the phase rule gives 1, so nothing is
// left to solve at its P and T) fails too, named once where it is met,
// even in a series of runs; the run stops naming it once all is written.
TEST(BatchRun, FailedAndDegenerateItemsAreWrittenAndClosed) {
  struct scenario {
    const char* name;
    std::string script;
    std::vector<std::string> qk, summary;
    std::string unsolvable = "", csv = "";  // the item named, and the csv row written
    long runs = 1;
  };
  const std::string papb = "(pa pb): variance 2 given, 1 by the phase rule; 1 equation for 0 unknowns";
  const scenario cases[] = {
      {"item 2 of 4 outside the window",
       "axfile mxax\nwith alp bet mx1 mx2\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
       "batchxyzguess startblock\nbatchxyzguess x(alp) 0.4\nbatchxyzguess x(bet) 0.5\n"
       "batchxyzguess x(mx1) 0.1\nbatchxyzguess x(mx2) 0.9\n"
       "batch alp bet 2 1 2 5 600 650 1 1 0 0\nbatch alp bet 2 1 1 5 820 1 1 0 0\n"
       "batch mx1 mx2 2 1 1 5 600 1 1 0 0\ndebuglevel 0\nautoexit\n*\n",
       {" {{ (* 1 *) { 5.000, 600.00}, {0.4218, 0.5468}},\n  {         {5.000, 650.00}, {0.3910, 0.4837}}},\n"
        " {{ (* 2 *) { 0, 0}, {}}},\n {{ (* 3 *) { 5.000, 600.00}, {0.0897, 0.9103}}},     0}};\n\n"},
       {"\n1 2 4 5.000 600.00 0.4218 0.5468 \n    4 5.000 650.00 0.3910 0.4837 \n2 1 4 \n3 1 4 5.000 600.00 "}},
      {"a last item with nothing to solve",
       loopbatch("batch alp bet 2 1 1 5 600 1 1 0 0\nbatch pa pb 2 1 1 5 600 1 1 0 0\n"),
       {"{ (* 2 *) {\"pa\", \"pb\"},\n {}} };\n",
        " {{ (* 1 *) { 5.000, 600.00}, {0.4218, 0.5468}}},\n {{ (* 2 *) { 0, 0}, {}}},     0}};\n\n"},
       {"\n1 1 4 5.000 600.00 0.4218 0.5468 \n2 1 2 \n\n"},
       "batch 2 " + papb, "\n   1,      5.000,     600.00,    0.42181,    0.54681,    1,          0,          0, \n"},
      {"a first item with nothing to solve",
       loopbatch("batch pa pb 2 1 1 5 600 1 1 0 0\nbatch alp bet 2 1 1 5 600 1 1 0 0\n"),
       {"{ (* 1 *) {\"pa\", \"pb\"},\n {}},\n",
        " {{ (* 1 *) { 0, 0}, {}}},\n {{ (* 2 *) { 5.000, 600.00}, {0.4218, 0.5468}}},     0}};\n\n"},
       {"\n1 1 2 \n2 1 4 5.000 600.00 0.4218 0.5468 \n\n"},
       "batch 1 " + papb, "\n   1,          0,          0,    1,      5.000,     600.00,    0.42181,    0.54681, \n"},
      // Three runs at drawn W: each writes its block, the item failed in it.
      {"nothing to solve in a series",
       "axfile mxax\nwith mx1 mx2 pa pb\ninexcess\ndiagramPT 4 10 400 700\npseudosection no\n"
       "batchxyzguess startblock\nbatchxyzguess x(mx1) 0.1\nbatchxyzguess x(mx2) 0.9\n"
       "batch mx1 mx2 2 1 1 5 626.85 1 1 0 0\nbatch pa pb 2 1 1 5 600 1 1 0 0\n"
       "mcrange r1 20 1\nmc mx1 a W(sA,sB) =r1\nmc mx2 a W(sA,sB) =r1\nmcit 3 50\ndebuglevel 0\nautoexit\n*\n",
       {" {{ (* 2 *) { 0, 0}, {}}},     0}};\n\n3\n"},
       {"\n2 1 2 \n\n", "\n1 1 4 5.000 626.85 0.1010 0.8990 \n2 1 2 \n"},
       "batch 2 " + papb, "", 3},
  };
  for (const scenario& c : cases) {
    SCOPED_TRACE(c.name);
    const e2e::Run r = e2e::run({"loop"}, "", {{"jx-lp.txt", c.script}});
    const std::string& o = r.files.at("jx-lp-o.txt");
    if (c.unsolvable.empty()) {
      ASSERT_FALSE(has(r.out, "bombed")) << r.out;
      EXPECT_EQ(r.status, 0);
    } else {
      const std::string line = "\n" + c.unsolvable + "\n", stop = "\n-- run bombed in batch : " + c.unsolvable + "\n";
      for (const std::string* text : {&r.out, &o, &r.files.at("jx-log.txt")}) {
        EXPECT_EQ(text->find(line), text->rfind(line)) << *text;
        EXPECT_LT(text->find(line), text->find(stop)) << *text;
        EXPECT_EQ(text->find("\n-- run bombed"), text->find(stop)) << *text;
      }
      EXPECT_EQ(r.status, 1);
      EXPECT_FALSE(has(r.out, "shouldn't")) << r.out;
    }
    EXPECT_EQ(has(r.out, "\n1 successes in 1 runs.\n"), c.runs == 1) << r.out;
    const std::string& qk = r.files.at("jx-lp-qk.txt");
    EXPECT_TRUE(e2e::balanced(qk)) << qk;
    for (const std::string& part : c.qk) EXPECT_TRUE(has(qk, part)) << qk;
    for (const std::string& part : c.summary) EXPECT_TRUE(has(o, part)) << o;
    // One csv row a run, under the headings.
    const std::string& csv = r.files.at("jx-lp.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), c.runs + 1) << csv;
    EXPECT_TRUE(has(csv, c.csv)) << csv;
  }
}

}  // namespace

