// Opening, closing and pruning the run's files.
#include <sys/stat.h>

#include <cstdio>

#include "frame/io.h"

namespace IO {

std::string PROMPTDATAFILE(const std::string& prefix, sstring& suffix, const std::string& what, textfile& f) {
  if (suffix.empty()) {
    PROMPTSTRING(what.empty() ? "suffix to name for datafile" : "suffix to name for " + what + " datafile", suffix);
    CHECKNAMEBYTES(suffix, "the suffix", "promptdatafile");
  }
  if (suffix.empty()) ERROREXIT("promptdatafile", "expecting a suffix for data filename", yourfault);
  const std::string name = prefix + suffix + ".txt";
  // Reading a file this run is writing would take the run's own output for
  // input (a suffix typed at a prompt, or a script edited between passes).
  if (const textfile* out = OPENOUTPUT(name)) {
    // A log not yet created must stay uncreated: the file is the user's.
    if (out == &LOGFILE && LOGFILE.holding) DROPLOG();
    ERROREXIT("promptdatafile", "the file \"" + name + "\" is an output file of this run and cannot be read as " +
                                    (what.empty() ? std::string("input") : what),
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

std::string PROMPTOUTFILE(const std::string& prefix, const sstring& name, textfile& f) {
  const std::string full = prefix + name.substr(0, sstringlength);
  if (f.f != nullptr) std::fclose(f.f);
  f = textfile{};
  f.name = full;
  f.writing = true;
  f.f = std::fopen(full.c_str(), "wb");
  // Writing on into a file that was never made would lose every result.
  if (f.f == nullptr) ERROREXIT("promptoutfile", "cannot create the file \"" + full + "\"", yourfault);
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
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
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
  PROMPTOUTFILE("", name, LOGFILE);
  WRITEFILE(LOGFILE, text);
}

void DROPLOG() {
  LOGFILE = textfile{};
  if (BTST(WHATSOPEN, CHANNEL::LOGBIT)) WHATSOPEN -= CHANNEL::LOG;
}

const textfile* OPENOUTPUT(const std::string& name) {
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    if (!BTST(WHATSOPEN, static_cast<smallint>(k))) continue;
    const textfile& f = CHANNELFILE(k);
    if ((f.f != nullptr || f.holding) && f.name == name) return &f;
  }
  return nullptr;
}

void IOCLEANUP() {
  static const char* labels[CHANNEL::LASTBIT + 1] = {"",       "",       "outfile", "logfile",  "icfile", "itfile",
                                   "qkfile", "csvfile", "csv2file", "psfile", "svgsfile"};
  // What the buffers still hold goes out checked, so that a file cut short
  // here ends the run as a fatal stop like any other failed write.
  if (!STOPPING) FLUSHER();
  WRITETERMINAL("\n");
  // A run that ends before its files were made still leaves its log.
  if (BTST(WHATSOPEN, CHANNEL::LOGBIT) && LOGFILE.holding) OPENLOG();
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    if (!BTST(WHATSOPEN, static_cast<smallint>(k))) continue;
    const bool* used = CHANNELUSED(k);
    FILECLOSE(CHANNELFILE(k), used == nullptr || *used, labels[k]);
  }
  WHATSOPEN = 0;
  std::fflush(TERMOUT);
}

}  // namespace IO
