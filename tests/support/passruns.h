// Runs of several passes of the main loop, each pass with a script of its
// own, against fresh runs of those scripts. A run without preferences (an
// empty ds-prefs.txt) asks for its script on every pass, so that each pass
// takes another one; its files are named after the first.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "../e2e/harness.h"

namespace passruns {

// The endings of the output files a pass writes to; the log holds the
// dialogue of each run, which differs by the questions of the passes.
inline const std::vector<std::string> endings = {"-o.txt", "-ic.txt", "-qk.txt", "-it.txt", ".csv", "-2.csv", ".svg"};

// Calc mode 1, the first script and the data set; for each later script
// another pass, another script and its suffix; then no more, and Return.
inline std::string answers(const std::vector<std::string>& scripts, const std::string& ds) {
  std::string a = "1\n" + scripts.front() + "\n" + ds + "\n";
  for (std::size_t k = 1; k < scripts.size(); ++k) a += "y\nn\n" + scripts[k] + "\n";
  return a + "n\n\n";
}

// A run's output files by their endings, the time of the run taken out.
inline std::map<std::string, std::string> outputs(const e2e::Run& r, const std::string& first) {
  std::map<std::string, std::string> f;
  for (const std::string& e : endings) {
    const auto at = r.files.find("jx-" + first + e);
    f[e] = at == r.files.end() ? "" : e2e::stamped(at->second);
  }
  return f;
}

// What the run of the passes must leave, from the fresh runs of their
// scripts in order: each file holds their texts one after the other and the
// summary's closing note once, at the end; the a-x listing is the first
// pass's alone, and so is the heading of the first csv file, where a later
// pass opens its rows with an empty line.
inline std::map<std::string, std::string> expected(const std::vector<std::map<std::string, std::string>>& fresh) {
  std::map<std::string, std::string> want;
  for (std::size_t k = 0; k < fresh.size(); ++k)
    for (const std::string& e : endings) {
      std::string text = fresh[k].at(e);
      if (e == "-o.txt" && text.size() >= e2e::versionnote.size())
        text.erase(text.size() - e2e::versionnote.size());
      if (k > 0 && e == "-it.txt") text.clear();
      if (k > 0 && e == ".csv" && !text.empty()) text = "\n" + text.substr(text.find('\n') + 1);
      want[e] += text;
    }
  want["-o.txt"] += e2e::versionnote;
  return want;
}

}  // namespace passruns
