// What a run leaves of the files it started with, for the tests of the
// run's files under two names: every input as it was, links as they were.
#pragma once

#include <sys/stat.h>

#include <set>

#include "harness.h"

namespace e2e {

// The bytes a file of these runs may grow to: a run that feeds on its own
// output fails its test instead of filling the disk.
constexpr rlim_t filelimit = 50000;

// The files a run starts with, by name: those of the fixtures (folders or
// single files), then the extra ones, as the harness lays them out.
inline std::map<std::string, std::string> startfiles(const std::vector<std::string>& fixtures,
                                                     const std::map<std::string, std::string>& extra) {
  std::map<std::string, std::string> files;
  for (const fs::path& from : fixturefiles(fixtures)) files[from.filename().string()] = slurp(from);
  for (const auto& [name, content] : extra) files[name] = content;
  return files;
}

// Every file the run started with is there as it was, a link still a link
// to the same text (or, leading nowhere, still leading nowhere), and the
// folder holds nothing more than the log when log says it was made, and
// the files made.
inline void expectuntouched(const Run& r, const std::vector<std::string>& fixtures,
                            const std::map<std::string, std::string>& extra, const std::vector<Link>& links,
                            bool log, const std::vector<std::string>& made = {}) {
  std::map<std::string, std::string> start = startfiles(fixtures, extra);
  for (const Link& l : links)
    if (start.count(l.target) == 1) start[l.name] = start.at(l.target);
  std::set<std::string> expected;
  for (const auto& [name, content] : start) {
    expected.insert(name);
    ASSERT_EQ(r.files.count(name), 1u) << name;
    EXPECT_EQ(r.files.at(name), content) << name;
  }
  for (const Link& l : links) {
    struct stat st {};
    ASSERT_EQ(lstat((r.dir / l.name).c_str(), &st), 0) << l.name;
    EXPECT_EQ(S_ISLNK(st.st_mode), !l.hard) << l.name;
    if (l.hard) {
      EXPECT_EQ(st.st_nlink, 2u) << l.name;
    } else {
      EXPECT_EQ(fs::read_symlink(r.dir / l.name), fs::path(l.target)) << l.name;
    }
  }
  if (log) expected.insert("jx-log.txt");
  expected.insert(made.begin(), made.end());
  const std::vector<std::string> left = names(r);
  EXPECT_EQ(std::set<std::string>(left.begin(), left.end()), expected);
}

}  // namespace e2e
