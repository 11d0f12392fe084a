// Helpers for unit tests and fuzz drivers that drive the I/O layer: a captured terminal,
// answers fed from a string, and a scratch working directory.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal_avptplus.h"
#include "frame/zqglobal_reset.h"
#include "lsq/lsqds.h"
#include "model/zqcalc1.h"
#include "utilities/zqpltx.h"

namespace testsupport {

// Points the terminal at a memory buffer for the life of the object.
class Terminal {
 public:
  Terminal() {
    f_ = open_memstream(&buf_, &len_);
    saved_ = IO::TERMOUT;
    IO::TERMOUT = f_;
  }
  ~Terminal() {
    IO::TERMOUT = saved_;
    std::fclose(f_);
    std::free(buf_);
  }
  std::string text() {
    std::fflush(f_);
    return std::string(buf_, len_);
  }

 private:
  char* buf_ = nullptr;
  std::size_t len_ = 0;
  std::FILE* f_ = nullptr;
  std::FILE* saved_ = nullptr;
};

// Feeds the given text as standard input for the life of the object.
class Answers {
 public:
  explicit Answers(const std::string& text) : text_(text) {
    f_ = text_.empty() ? std::fopen("/dev/null", "rb") : fmemopen(text_.data(), text_.size(), "rb");
    saved_ = IO::TERMIN;
    IO::TERMIN = f_;
  }
  ~Answers() {
    IO::TERMIN = saved_;
    if (f_ != nullptr) std::fclose(f_);
  }
  Answers(const Answers&) = delete;
  Answers& operator=(const Answers&) = delete;

 private:
  std::string text_;
  std::FILE* f_ = nullptr;
  std::FILE* saved_ = nullptr;
};

// The lines of a text, without their line ends; a last line without one counts.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
    out.push_back(text.substr(from, at - from));
    from = at + 1;
  }
  if (from < text.size()) out.push_back(text.substr(from));
  return out;
}

// A fresh folder named prefix-XXXXXX under $TMPDIR (or /tmp); a folder that
// cannot be made is an error that names the place and the reason.
inline std::filesystem::path makescratch(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  const std::filesystem::path base = tmp != nullptr && *tmp != 0 ? tmp : "/tmp";
  std::string name = (base / (prefix + "-XXXXXX")).string();
  if (mkdtemp(name.data()) == nullptr)
    throw std::runtime_error("cannot make a scratch folder in " + base.string() + ": " + std::strerror(errno));
  return name;
}

// A fresh directory that is the working directory for the life of the object.
class ScratchDir {
 public:
  ScratchDir() : dir_(makescratch("solvarinth-unit")) {
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  ~ScratchDir() {
    std::filesystem::current_path(saved_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::filesystem::path& path() const { return dir_; }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

 private:
  std::filesystem::path dir_;
  std::filesystem::path saved_;
};

// How a call ended the run: "where: message", or empty when it returned.
inline std::string fatal(const std::function<void()>& call) {
  try {
    call();
  } catch (const IO::runend& e) {
    return e.where + ": " + e.message;
  }
  return "";
}

// Runs call with the answers typed at its prompts: how it ended the run, as
// fatal gives it, with what it wrote to the terminal in out. The channels a
// fatal end of an earlier call closed are taken as open again.
inline std::string answered(const std::string& answers, const std::function<void()>& call, std::string& out) {
  Terminal term;
  Answers a(answers);
  IO::WHATSOPEN = 1;
  const std::string end = fatal(call);
  out = term.text();
  return end;
}

// The I/O layer alone back to its defaults, with no Return wait after a
// fatal error.
inline void resetio() {
  IO::RESETIO();
  IO::CONTROLIO.autoexit = true;
}

// Every group of shared state as a fresh run has it (the work arrays
// aside), the I/O layer with only the terminal open and no Return wait after
// a fatal error.
inline void freshstate() {
  // The avPT+ store stays allocated between a run's passes; a test that
  // made it must not leave it to the next one's heap count.
  ZQGLOBAL::RELEASEJXCALC();
  ZQGLOBAL::RESETALL();
  // The script's reset clears only the count of the batch items (a read
  // fills each item whole); a test that stopped half-way through an item
  // must not leave its fields to the next test's hand-made items.
  for (long k = 1; k <= maxbatch; ++k) ZQGLOBAL::BATCHINFO[k] = batchtype{};
  ZQCALC1::RESETFLUIDCACHE();
  ZQCALC1::RESETHELDCHOICES();
  ZQPLTX::RESETPLTX();
  LSQDS::RESETLSQDS();
  IO::CONTROLIO.autoexit = true;
}

// Opens file channel `bit` on a scratch file of the given name.
inline void openchannel(int bit, const std::string& name) {
  IO::PROMPTOUTFILE("", name, IO::CHANNELFILE(bit));
  IO::WHATSOPEN |= IO::BITV[bit];
}

}  // namespace testsupport
