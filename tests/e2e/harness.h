// Runs the built program in a fresh scratch directory with fixture files
// and answers on standard input, and collects what it left behind.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

namespace fs = std::filesystem;

struct Run {
  std::string out;                            // the terminal
  int status = -1;                            // exit status
  std::map<std::string, std::string> files;  // every file left, by name
};

inline std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Where the runs happen: under $TMPDIR when it is set, else in the build
// tree, where a failed run's files stay to be looked at.
inline fs::path scratchroot() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && *tmp != '\0' ? fs::path(tmp) / "solvarinth-e2e" : fs::path(SOLVARINTH_SCRATCH);
}

// Runs with the files of fixture folders, or single fixture files named by
// their path, (later ones override earlier ones) plus extra files given by
// name and content, and empty folders. A file that several runs share is
// kept once and named by its path. The program run is the built program
// unless another is named.
inline Run run(const std::vector<std::string>& fixturedirs, const std::string& answers,
               const std::map<std::string, std::string>& extra = {}, const std::vector<std::string>& folders = {},
               const std::string& program = SOLVARINTH_EXE) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path dir = scratchroot() / (std::string(info->test_suite_name()) + "." + info->name());
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (fs::create_directories(dir, ec), ec)
    throw std::runtime_error("cannot make the scratch folder " + dir.string() + ": " + ec.message());
  for (const std::string& d : fixturedirs) {
    const fs::path from = fs::path(SOLVARINTH_FIXTURES) / d;
    if (fs::is_regular_file(from)) {
      fs::copy_file(from, dir / from.filename(), fs::copy_options::overwrite_existing);
      continue;
    }
    for (const auto& e : fs::directory_iterator(from))
      fs::copy_file(e.path(), dir / e.path().filename(), fs::copy_options::overwrite_existing);
  }
  for (const auto& [name, content] : extra) std::ofstream(dir / name, std::ios::binary) << content;
  for (const std::string& name : folders) {
    fs::remove(dir / name);
    fs::create_directories(dir / name);
  }

  const fs::path runinfo = dir.parent_path() / (dir.filename().string() + ".io");
  fs::create_directories(runinfo);
  std::ofstream(runinfo / "stdin", std::ios::binary) << answers;
  const std::string cmd = "cd '" + dir.string() + "' && '" + program + "' < '" + (runinfo / "stdin").string() +
                          "' > '" + (runinfo / "stdout").string() + "' 2>&1";
  const int rc = std::system(cmd.c_str());
  Run r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = slurp(runinfo / "stdout");
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) r.files[e.path().filename().string()] = slurp(e.path());
  return r;
}

inline std::vector<std::string> names(const Run& r) {
  std::vector<std::string> v;
  for (const auto& [name, content] : r.files) v.push_back(name);
  return v;
}

inline bool has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

// A run's files with the time of the run taken out, so they compare whole.
inline std::string stamped(const std::string& text) {
  static const std::regex when("[0-9]{1,2}\\.[0-9]{2} on [A-Za-z]{3} [0-9]{1,2} [A-Za-z]{3},[0-9]{4}");
  return std::regex_replace(text, when, "WHEN");
}

// The note that closes the summary of every run.
inline const std::string versionnote =
    "\n[ jx351 is a jx version that performs jx350-consistent mode 1 calculations with the jx360-compliant \n"
    "a-x files ahead of the release of jx360, after which jx351 is deprecated ]\n" +
    std::string(60, '=') + "\n";

// The head of a summary, after stamped().
inline std::string runhead(const std::string& ds, const std::string& ax, const std::string& script) {
  return std::string(60, '^') + "\n\nSOLVARINTH 3.51 running at WHEN\nusing " + ds + "\nwith axfile " + ax +
         " and scriptfile " + script + "\n\n";
}

}  // namespace e2e
