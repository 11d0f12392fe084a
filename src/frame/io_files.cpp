// Opening, closing and pruning the run's files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "frame/io.h"

namespace IO {

void PROMPTSUFFIX(sstring& suffix, const std::string& what) {
  if (suffix.empty())
    PROMPTSTRING(what.empty() ? "suffix to name for datafile" : "suffix to name for " + what + " datafile", suffix);
  CHECKNAMEBYTES(suffix, "the suffix", "promptdatafile");
  if (suffix.empty()) ERROREXIT("promptdatafile", "expecting a suffix for data filename", yourfault);
}

std::string PROMPTDATAFILE(std::string (*nameof)(const sstring&), sstring& suffix, const std::string& what,
                           textfile& f) {
  PROMPTSUFFIX(suffix, what);
  return OPENDATAFILE(nameof(suffix), what, f);
}

std::string OPENDATAFILE(const std::string& name, const std::string& what, textfile& f) {
  // Reading a file this run is writing would take the run's own output for
  // input (a suffix typed at a prompt, or a script edited between passes).
  if (const textfile* out = OPENOUTPUT(name)) {
    const std::string outname = out->name;
    // A log not yet created must stay uncreated: the file is the user's.
    if (out == &LOGFILE && LOGFILE.holding) DROPLOG();
    const std::string as = what.empty() ? std::string("input") : what;
    if (outname == name)
      ERROREXIT("promptdatafile", "the file \"" + name + "\" is an output file of this run and cannot be read as " + as,
                yourfault);
    ERROREXIT("promptdatafile", "the file \"" + name + "\" is the output file \"" + outname +
                                    "\" of this run under another name and cannot be read as " + as,
              yourfault);
  }
  if (f.f != nullptr) std::fclose(f.f);
  f = textfile{};
  f.name = name;
  f.f = std::fopen(name.c_str(), "rb");
  if (f.f == nullptr) {
    PUTSTR(1, "cannot locate file \"" + name + "\"", 1, CHANNEL::TERMSUMLOG);
    ERROREXIT("promptdatafile", "datafile needed", yourfault);
  }
  if (&f == &DATA) DATAOPEN = true;
  return name;
}

namespace {

bool sameid(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The output of the run other than f that is open on the file st describes.
const textfile* openon(const struct stat& st, const textfile& f) {
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    const textfile& o = CHANNELFILE(k);
    struct stat ot {};
    if (&o != &f && o.f != nullptr && ::fstat(::fileno(o.f), &ot) == 0 && sameid(st, ot)) return &o;
  }
  return nullptr;
}

std::string heldelsewhere(const std::string& name) {
  return "another run is writing \"" + name +
         "\": the run files of a folder are one run's at a time; let that run end, or run in another folder";
}

// Where creating name would make a file that is not there yet: the name
// with its symbolic links followed, in a folder given whole. Empty when the
// way cannot be told (a loop of links, a folder that is not there).
std::string wouldcreate(const std::string& name) {
  namespace fs = std::filesystem;
  fs::path p = name;
  for (int hop = 0;; ++hop) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) break;
    if (!S_ISLNK(st.st_mode) || hop == 40) return "";
    std::error_code ec;
    const fs::path to = fs::read_symlink(p, ec);
    if (ec) return "";
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  const fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  char* real = ::realpath(folder.c_str(), nullptr);
  if (real == nullptr) return "";
  const std::string where = std::string(real) + "/" + p.filename().string();
  std::free(real);
  return where;
}

}  // namespace

std::string PROMPTOUTFILE(const std::string& prefix, const sstring& name, textfile& f) {
  return OPENOUTFILE(OUTPUTNAME(prefix, name), f);
}

std::string OPENOUTFILE(const std::string& full, textfile& f) {
  if (f.f != nullptr) std::fclose(f.f);
  f = textfile{};
  f.name = full;
  f.writing = true;
  CHECKNAMEBYTES(full, "the output file name", "promptoutfile");
  // Opened as it is, and emptied only once it is known to be no other file
  // of this run and no file another run is writing.
  const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  // Writing on into a file that was never made would lose every result.
  const std::string cannot = "cannot create the file \"" + full + "\"";
  if (fd < 0) ERROREXIT("promptoutfile", cannot, yourfault);
  const auto refuse = [fd](const std::string& why) {
    ::close(fd);
    ERROREXIT("promptoutfile", why, yourfault);
  };
  struct stat st {};
  if (::fstat(fd, &st) != 0) refuse(cannot);
  if (const textfile* other = openon(st, f))
    refuse("two files of the run, \"" + other->name + "\" and \"" + full + "\", are the same file under two names");
  // Devices and pipes (an output sent to /dev/null) are shared by nature.
  if (S_ISREG(st.st_mode)) {
    // The lock lasts as long as the file is open: the run's whole life. A
    // file system that keeps no locks leaves the file unlocked.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) refuse(heldelsewhere(full));
    if (::ftruncate(fd, 0) != 0) refuse(cannot);
  }
  f.f = ::fdopen(fd, "wb");
  if (f.f == nullptr) refuse(cannot);
  return full;
}

void FILECLOSE(textfile& f, bool keep, const sstring& name) {
  if (f.f != nullptr) {
    // What is still buffered goes out checked, as every write does: a file
    // written whole and closed at once (a new data set) meets the disk here.
    if (f.writing && !STOPPING) FLUSHFILE(f);
    const bool flushed = !f.writing || std::fflush(f.f) == 0;
    if (!flushed || f.writeerror || std::ferror(f.f)) WRITETERMINAL("problem writing " + name + "\n");
    if (std::fclose(f.f) != 0) WRITETERMINAL("problem closing " + name + "\n");
    f.f = nullptr;
  }
  if (!keep && !f.name.empty() && std::remove(f.name.c_str()) != 0) WRITETERMINAL("problem erasing  " + name + "\n");
}

bool SAMEFILE(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  const bool isa = ::stat(a.c_str(), &sa) == 0, isb = ::stat(b.c_str(), &sb) == 0;
  if (isa && isb) return sameid(sa, sb);
  // A name whose links lead nowhere yet: the file it would make.
  if (isa || isb) return false;
  const std::string wa = wouldcreate(a);
  return !wa.empty() && wa == wouldcreate(b);
}

void CHECKFOLDERFREE(const std::string& name) {
  // Only a look: opened to read, never made, and at once let go.
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  const bool held = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_SH | LOCK_NB) != 0 &&
                    errno == EWOULDBLOCK;
  ::close(fd);
  if (held) ERROREXIT("initialiseio", heldelsewhere(name), yourfault);
}

void CHECKNAMEBYTES(const sstring& name, const std::string& what, const std::string& where) {
  // The name is words of a line, where a NUL byte is an ordinary character;
  // the file system would end the name there and open another file.
  if (name.find('\0') == sstring::npos) return;
  std::string shown;
  for (const char c : name) shown += c == '\0' ? std::string("<NUL>") : std::string(1, c);
  ERROREXIT(where, what + " \"" + shown + "\" holds a NUL byte, which no file name can hold", yourfault);
}

void OPENLOG() {
  if (!LOGFILE.holding) return;
  if (LOGFILE.readbyrun) {
    DROPLOG();
    return;
  }
  const std::string text = LOGFILE.held;
  const sstring name = LOGFILE.name;
  OPENOUTFILE(name, LOGFILE);
  WRITEFILE(LOGFILE, text);
}

void ENDHELDLOG() {
  if (!BTST(WHATSOPEN, CHANNEL::LOGBIT) || !LOGFILE.holding) return;
  // The files known to be read are those named so far, whatever the way
  // the run ended: asked now, not when each name came in.
  if (HELDLOGGUARD != nullptr) HELDLOGGUARD();
  OPENLOG();
}

void DROPLOG() {
  LOGFILE = textfile{};
  if (BTST(WHATSOPEN, CHANNEL::LOGBIT)) WHATSOPEN -= CHANNEL::LOG;
}

const textfile* OPENOUTPUT(const std::string& name) {
  struct stat st {};
  const bool there = ::stat(name.c_str(), &st) == 0;
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    if (!BTST(WHATSOPEN, static_cast<smallint>(k))) continue;
    const textfile& f = CHANNELFILE(k);
    if (f.f == nullptr && !f.holding) continue;
    if (f.name == name) return &f;
    // The same file under another name. (The log held in memory is not yet
    // made: the check of the run's names at start-up compares it.)
    struct stat ot {};
    if (f.f != nullptr && there && ::fstat(::fileno(f.f), &ot) == 0 && sameid(st, ot)) return &f;
  }
  return nullptr;
}

void IOCLEANUP() {
  static const char* labels[CHANNEL::LASTBIT + 1] = {"",       "",       "outfile", "logfile",  "icfile", "itfile",
                                   "qkfile", "csvfile", "csv2file", "psfile", "svgsfile"};
  // Within the end of a fatal stop, which waits and ends the run itself.
  const bool withinstop = ENDING > 0;
  const ENDSCOPE end;
  // A stop raised by a step below ends that step alone: the files are
  // closed and pruned all the same, and the stop ends the run after them.
  std::optional<runend> raised;
  const auto step = [&raised](void (*what)()) {
    try {
      what();
    } catch (const runend& e) {
      if (!raised) raised = e;
    }
  };
  // What the buffers still hold goes out checked, so that a file cut short
  // here ends the run as a fatal stop like any other failed write.
  if (!STOPPING) step(FLUSHER);
  WRITETERMINAL("\n");
  // A run that ends before its files were made still leaves its log.
  step(ENDHELDLOG);
  // The log's lock holds the folder until the last file is closed or
  // removed: a second handle on it outlives the log's own.
  const int hold = LOGFILE.f != nullptr ? ::dup(::fileno(LOGFILE.f)) : -1;
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    if (!BTST(WHATSOPEN, static_cast<smallint>(k))) continue;
    const bool* used = CHANNELUSED(k);
    FILECLOSE(CHANNELFILE(k), used == nullptr || *used, labels[k]);
  }
  if (hold >= 0) ::close(hold);
  WHATSOPEN = 0;
  std::fflush(TERMOUT);
  if (raised && !withinstop) {
    WAITRETURN();
    throw *raised;
  }
}

}  // namespace IO
