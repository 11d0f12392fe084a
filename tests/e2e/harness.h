// Runs the built program in a fresh scratch directory with fixture files
// and answers on standard input, and collects what it left behind.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

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
  int status = -1;                            // exit status (-1: ended by a signal)
  std::map<std::string, std::string> files;  // every file left, by name (a link by its own name)
  fs::path dir;                               // the scratch folder
};

// A second name made in the scratch folder before a run: name reaches
// target, through a symbolic link or, when hard, as a hard link.
struct Link {
  std::string name, target;
  bool hard = false;
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

// The folder of a run's answers and terminal, beside its scratch folder.
inline fs::path runinfo(const fs::path& dir) { return dir.parent_path() / (dir.filename().string() + ".io"); }

// The files of fixture folders, or single fixture files named by their
// path, in the order a later one overrides an earlier one of its name.
inline std::vector<fs::path> fixturefiles(const std::vector<std::string>& fixturedirs) {
  std::vector<fs::path> files;
  for (const std::string& d : fixturedirs) {
    const fs::path from = fs::path(SOLVARINTH_FIXTURES) / d;
    if (fs::is_regular_file(from)) {
      files.push_back(from);
      continue;
    }
    for (const auto& e : fs::directory_iterator(from)) files.push_back(e.path());
  }
  return files;
}

// The scratch folder of the current test made afresh with the files of
// fixture folders, or single fixture files named by their path, (later ones
// override earlier ones) plus extra files given by name and content, and
// empty folders.
inline fs::path prepare(const std::vector<std::string>& fixturedirs, const std::map<std::string, std::string>& extra,
                        const std::vector<std::string>& folders) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path dir = scratchroot() / (std::string(info->test_suite_name()) + "." + info->name());
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (fs::create_directories(dir, ec), ec)
    throw std::runtime_error("cannot make the scratch folder " + dir.string() + ": " + ec.message());
  for (const fs::path& from : fixturefiles(fixturedirs))
    fs::copy_file(from, dir / from.filename(), fs::copy_options::overwrite_existing);
  for (const auto& [name, content] : extra) std::ofstream(dir / name, std::ios::binary) << content;
  for (const std::string& name : folders) {
    fs::remove(dir / name);
    fs::create_directories(dir / name);
  }
  fs::create_directories(runinfo(dir));
  return dir;
}

// Every file a run left in its folder.
inline void collect(const fs::path& dir, Run& r) {
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) r.files[e.path().filename().string()] = slurp(e.path());
}

// Runs in a folder made by prepare(), with the answers on standard input. A
// file that several runs share is kept once and named by its path. The
// program run is the built program unless another is named.
inline Run run(const std::vector<std::string>& fixturedirs, const std::string& answers,
               const std::map<std::string, std::string>& extra = {}, const std::vector<std::string>& folders = {},
               const std::string& program = SOLVARINTH_EXE) {
  const fs::path dir = prepare(fixturedirs, extra, folders);
  const fs::path io = runinfo(dir);
  std::ofstream(io / "stdin", std::ios::binary) << answers;
  const std::string cmd = "cd '" + dir.string() + "' && '" + program + "' < '" + (io / "stdin").string() +
                          "' > '" + (io / "stdout").string() + "' 2>&1";
  const int rc = std::system(cmd.c_str());
  Run r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.dir = dir;
  r.out = slurp(io / "stdout");
  collect(dir, r);
  return r;
}

// Makes the links in a folder made by prepare(): name reaches target.
inline void makelinks(const fs::path& dir, const std::vector<Link>& links) {
  for (const Link& l : links) {
    fs::remove(dir / l.name);
    if (l.hard)
      fs::create_hard_link(dir / l.target, dir / l.name);
    else
      fs::create_symlink(l.target, dir / l.name);
  }
}

// Starts the program in dir with its standard input from the file in (or
// from a pipe returned in tofeed when in is empty) and its terminal into
// the pipe returned in fromterm; every file it writes is held to at most
// limit bytes, as a full disk holds it (SIGXFSZ is ignored, so the program
// sees the failure instead of being killed), and a run still going after
// the given seconds is ended by SIGALRM, so that it fails its test (status
// -1) instead of hanging.
inline pid_t startin(const fs::path& dir, const std::string& in, rlim_t limit, unsigned seconds,
                     const std::string& program, int& tofeed, int& fromterm) {
  int outfd[2], infd[2] = {-1, -1};
  if (pipe(outfd) != 0 || (in.empty() && pipe(infd) != 0)) throw std::runtime_error("cannot make a pipe for the run");
  const std::string where = dir.string();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("cannot start the program");
  if (pid == 0) {
    const int from = in.empty() ? infd[0] : open(in.c_str(), O_RDONLY);
    if (from < 0 || dup2(from, 0) < 0 || dup2(outfd[1], 1) < 0 || dup2(outfd[1], 2) < 0 || chdir(where.c_str()) != 0)
      _exit(127);
    for (const int fd : {outfd[0], outfd[1], infd[0], infd[1]})
      if (fd > 2) close(fd);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(127);
    std::signal(SIGALRM, SIG_DFL);
    alarm(seconds);  // kept across exec; the program handles no signals
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(outfd[1]);
  if (infd[0] >= 0) close(infd[0]);
  tofeed = infd[1];
  fromterm = outfd[0];
  return pid;
}

// The end of a run started by startin(): the rest of its terminal after
// what was read of it, its status and the files of its folder.
inline Run finishin(const fs::path& dir, pid_t pid, int fromterm, std::string seen = "") {
  Run r;
  r.out = std::move(seen);
  char buf[4096];
  for (ssize_t n; (n = read(fromterm, buf, sizeof buf)) > 0;) r.out.append(buf, static_cast<std::size_t>(n));
  close(fromterm);
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.dir = dir;
  collect(dir, r);
  return r;
}

// A run, as runfilelimited() makes it, in a folder already laid out; the
// answers and the terminal are kept under the given tag.
inline Run runinfolder(const fs::path& dir, const std::string& answers, rlim_t limit, unsigned seconds = 60,
                       const std::string& program = SOLVARINTH_EXE, const std::string& tag = "") {
  const fs::path io = runinfo(dir);
  std::ofstream(io / ("stdin" + tag), std::ios::binary) << answers;
  int tofeed = -1, fromterm = -1;
  const pid_t pid = startin(dir, (io / ("stdin" + tag)).string(), limit, seconds, program, tofeed, fromterm);
  Run r = finishin(dir, pid, fromterm);
  std::ofstream(io / ("stdout" + tag), std::ios::binary) << r.out;
  return r;
}

// As run(), with every file the program writes held to at most limit bytes
// and the run to the given seconds (startin() tells how); the terminal
// comes through a pipe, out of the limit's reach. The links are made after
// the files. The program run is the built program unless another is named.
inline Run runfilelimited(const std::vector<std::string>& fixturedirs, const std::string& answers, rlim_t limit,
                          const std::map<std::string, std::string>& extra = {}, const std::vector<Link>& links = {},
                          unsigned seconds = 60, const std::string& program = SOLVARINTH_EXE) {
  const fs::path dir = prepare(fixturedirs, extra, {});
  makelinks(dir, links);
  return runinfolder(dir, answers, limit, seconds, program);
}

// A run going on in a folder, its answers typed as its questions come.
struct Running {
  fs::path dir;
  pid_t pid = -1;
  int tofeed = -1, fromterm = -1;
  std::string seen;  // the terminal so far
};

inline Running startrun(const fs::path& dir, rlim_t limit, unsigned seconds = 60) {
  Running r;
  r.dir = dir;
  r.pid = startin(dir, "", limit, seconds, SOLVARINTH_EXE, r.tofeed, r.fromterm);
  return r;
}

// Reads the run's terminal until it shows text: false when the run ended
// first.
inline bool waitfor(Running& r, const std::string& text) {
  char buf[4096];
  while (r.seen.find(text) == std::string::npos) {
    const ssize_t n = read(r.fromterm, buf, sizeof buf);
    if (n <= 0) return false;
    r.seen.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

// Types the answers, then ends the input and waits for the run's end.
inline Run finishrun(Running& r, const std::string& answers) {
  std::signal(SIGPIPE, SIG_IGN);
  if (!answers.empty() && write(r.tofeed, answers.data(), answers.size()) < 0) {
    // A run that ended already reads nothing more; its end tells.
  }
  close(r.tofeed);
  return finishin(r.dir, r.pid, r.fromterm, r.seen);
}

inline std::vector<std::string> names(const Run& r) {
  std::vector<std::string> v;
  for (const auto& [name, content] : r.files) v.push_back(name);
  return v;
}

inline bool has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

// A run stopped for want of an input: it names the file and stops with
// status 1; its summary is there, holding kept, only where kept is given;
// none of the files gone is there.
inline void expectmissing(const Run& r, const std::string& missing, const std::string& summary,
                          const std::string& kept, const std::vector<std::string>& gone) {
  EXPECT_EQ(r.status, 1);
  const std::string stop = "\n\n-- run bombed in promptdatafile : datafile needed\n";
  EXPECT_TRUE(has(r.out, "\ncannot locate file \"" + missing + "\"" + stop)) << r.out;
  EXPECT_EQ(r.files.count(summary), kept.empty() ? 0u : 1u);
  if (!kept.empty()) {
    EXPECT_TRUE(has(r.files.at(summary), kept));
  }
  for (const std::string& g : gone) EXPECT_EQ(r.files.count(g), 0u) << g;
}

// A number fixed to d decimals, as the program writes its fixed fields.
inline std::string fixed(double v, int d) {
  std::ostringstream o;
  o.setf(std::ios::fixed);
  o.precision(d);
  o << v;
  return o.str();
}

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
