// The names of the run's files. Each is formed here only, so that the file
// a reader opens or a writer makes is the very name start-up compares with
// the outputs and the held log: a cut made in one place and not the other
// would let an output reach an input that was never compared.
#include "frame/io.h"

namespace IO {

std::string INPUTNAME(const std::string& prefix, const sstring& suffix) { return prefix + suffix + ".txt"; }

std::string OUTPUTNAME(const std::string& prefix, const sstring& name) {
  return prefix + name.substr(0, sstringlength);
}

std::string PREFSNAME() { return "jx-prefs.txt"; }
std::string LSQPREFSNAME() { return INPUTNAME("ds-", "prefs"); }
std::string LOGNAME() { return "jx-log.txt"; }
std::string SCRIPTNAME(const sstring& suffix) { return INPUTNAME("jx-", suffix); }
std::string AXNAME(const sstring& suffix) { return INPUTNAME("jx-", suffix); }
std::string DATASETNAME(const sstring& suffix) { return INPUTNAME("jx-ds", suffix); }
std::string DRAWINGNAME(const sstring& suffix) { return INPUTNAME("qk-", suffix); }
std::string LSQSCRIPTNAME(const sstring& suffix) { return INPUTNAME("ds-scr", suffix); }
// The a-x file of calc mode 9 is read under its whole name; its end-member
// and experiments files under a name cut to a word's length.
std::string LSQAXNAME(const sstring& suffix) { return INPUTNAME("ds-", "ax" + suffix); }
std::string EMNAME(const sstring& suffix) { return INPUTNAME("ds-", MAKESSTRING("em" + suffix)); }
std::string EMFNAME(const sstring& suffix) { return INPUTNAME("ds-", MAKESSTRING("em" + suffix + "-f")); }
std::string XPNAME(const sstring& suffix) { return INPUTNAME("ds-", MAKESSTRING("xp" + suffix)); }
std::string NEWDATASETNAME(const sstring& suffix) { return OUTPUTNAME("jx-ds", MAKESSTRING(suffix + ".txt")); }
std::string NEWEMNAME(const sstring& suffix) { return OUTPUTNAME("ds-em", MAKESSTRING(suffix + "-i.txt")); }

}  // namespace IO
