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

// As run(), with every file the program writes held to at most limit bytes,
// as a full disk holds it: the write past it fails (SIGXFSZ is ignored, so
// the program sees the failure instead of being killed). The terminal comes
// through a pipe, out of the limit's reach. The links are made after the
// files; a run still going after the given seconds is ended by SIGALRM, so
// that a run that never ends fails its test (status -1) instead of hanging.
inline Run runfilelimited(const std::vector<std::string>& fixturedirs, const std::string& answers, rlim_t limit,
                          const std::map<std::string, std::string>& extra = {}, const std::vector<Link>& links = {},
                          unsigned seconds = 60) {
  const fs::path dir = prepare(fixturedirs, extra, {});
  for (const Link& l : links) {
    fs::remove(dir / l.name);
    if (l.hard)
      fs::create_hard_link(dir / l.target, dir / l.name);
    else
      fs::create_symlink(l.target, dir / l.name);
  }
  const fs::path io = runinfo(dir);
  std::ofstream(io / "stdin", std::ios::binary) << answers;
  const std::string in = (io / "stdin").string(), where = dir.string(), program = SOLVARINTH_EXE;
  int pipefd[2];
  if (pipe(pipefd) != 0) throw std::runtime_error("cannot make a pipe for the terminal");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("cannot start the program");
  if (pid == 0) {
    const int infd = open(in.c_str(), O_RDONLY);
    if (infd < 0 || dup2(infd, 0) < 0 || dup2(pipefd[1], 1) < 0 || dup2(pipefd[1], 2) < 0 || chdir(where.c_str()) != 0)
      _exit(127);
    close(pipefd[0]);
    close(pipefd[1]);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(127);
    std::signal(SIGALRM, SIG_DFL);
    alarm(seconds);  // kept across exec; the program handles no signals
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipefd[1]);
  Run r;
  char buf[4096];
  for (ssize_t n; (n = read(pipefd[0], buf, sizeof buf)) > 0;) r.out.append(buf, static_cast<std::size_t>(n));
  close(pipefd[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.dir = dir;
  std::ofstream(io / "stdout", std::ios::binary) << r.out;
  collect(dir, r);
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
