// One input through one reader, as a user's hand-edited files would reach
// it: the fuzz targets and the regression tests share these, so a case the
// fuzzer found is replayed along exactly the same road.
//
// An input is several files in one byte string, cut at the byte SEPARATOR;
// a part beyond the last separator that is missing means "no such file".
// Every driver works in the current directory and leaves the program's
// global state as a fresh run would find it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "frame/io.h"
#include "iotestsupport.h"
#include "mainprogram.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "input/zqread1.h"
#include "input/zqread2.h"
#include "input/zqscript.h"
#include "frame/zqute1.h"
#include "utilities/zqpltx.h"

namespace fuzzdrive {

constexpr char SEPARATOR = '\x01';

// How a reader ended: normally, or through the fatal exit.
struct outcome {
  bool ended = false;
  std::string where;
  std::string message;
  bool internal = false;  // ended as an internal fault
};

inline std::vector<std::string> split(const std::string& input, std::size_t parts) {
  std::vector<std::string> v;
  std::size_t from = 0;
  while (v.size() + 1 < parts) {
    const std::size_t at = input.find(SEPARATOR, from);
    if (at == std::string::npos) break;
    v.push_back(input.substr(from, at - from));
    from = at + 1;
  }
  v.push_back(input.substr(from));
  return v;
}

inline std::string part(const std::vector<std::string>& v, std::size_t i) { return i < v.size() ? v[i] : std::string(); }
inline bool given(const std::vector<std::string>& v, std::size_t i) { return i < v.size(); }

inline void writefile(const std::string& name, const std::string& content) {
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
}

inline void closefile(IO::textfile& f) {
  if (f.f != nullptr) std::fclose(f.f);
  f = IO::textfile{};
}

// Every file closed, every group of state at its defaults; the work arrays
// are kept with their contents, as a later pass of a run finds them.
inline void resetstate() {
  closefile(ZQREAD1::PDATA);
  testsupport::freshstate();
  ZQGLOBAL::MAINLOOP = 1;
}

// Standard input for the life of the object: the given answers, or none.
using answers = testsupport::Answers;

template <class F>
outcome guarded(F body) {
  outcome o;
  try {
    body();
  } catch (const IO::runend& e) {
    o.ended = true;
    o.where = e.where;
    o.message = e.message;
    o.internal = e.fault == myfault;
  }
  resetstate();
  return o;
}

// The preferences file: [jx-prefs.txt] SEP [answers] SEP [flags]; flag 'd'
// makes a "ds-prefs.txt" beside it, flag 'n' leaves "jx-prefs.txt" out.
inline outcome prefs(const std::string& input) {
  const auto v = split(input, 3);
  const std::string flags = part(v, 2);
  if (flags.find('n') == std::string::npos) writefile("jx-prefs.txt", part(v, 0));
  if (flags.find('d') != std::string::npos) writefile("ds-prefs.txt", "");
  resetstate();
  answers a(part(v, 1));
  return guarded([] { IO::READPREFS(); });
}

// The script file: [script] SEP [answers] SEP [calc-mode code digit].
inline outcome script(const std::string& input) {
  const auto v = split(input, 3);
  writefile("jx-fz.txt", part(v, 0));
  resetstate();
  const std::string mode = part(v, 2);
  IO::CONTROLIO.calcmode = 1;
  if (!mode.empty()) {
    switch (mode[0]) {
      case '2': IO::CONTROLIO.calcmode = 2; ZQGLOBAL::CALCMODE = calcmodetype::rockcalc; break;
      case '3': IO::CONTROLIO.calcmode = 3; ZQGLOBAL::CALCMODE = calcmodetype::phasecalc; break;
      case '9': IO::CONTROLIO.calcmode = 9; ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc; break;
      default: break;
    }
  }
  IO::CONTROLIO.scriptfile = "fz";
  IO::DATAFILENAMESUFFIX = "fz";
  IO::DATA.name = "jx-fz.txt";
  IO::DATA.f = std::fopen("jx-fz.txt", "rb");
  IO::SCRIPTOPEN = true;
  answers a(part(v, 1));
  return guarded([] { ZQSCRIPT::READCONTROLJX(); });
}

// The least-squares preferences: [ds-prefs.txt] SEP [answers].
inline outcome dsprefs(const std::string& input) {
  const auto v = split(input, 2);
  writefile("ds-prefs.txt", part(v, 0));
  resetstate();
  ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
  IO::CONTROLIO.calcmode = 9;
  answers a(part(v, 1));
  return guarded([] { ZQSCRIPT::READCONTROLDS(); });
}

// The data set, all three passes: [jx-ds6fz.txt] SEP [end-members] SEP
// [flags]. The end-members are names or 1-based record numbers; none given
// means every record of the file. Flag '9' reads it for calc mode 9.
inline outcome dataset(const std::string& input) {
  const auto v = split(input, 3);
  writefile("jx-ds6fz.txt", part(v, 0));
  resetstate();
  ZQGLOBAL::ALLOCATEWORK();
  if (part(v, 2).find('9') != std::string::npos) ZQGLOBAL::CALCMODE = calcmodetype::lsqdscalc;
  IO::CONTROLIO.dsfile = "6fz";
  const std::string names = part(v, 1);
  answers a("");
  return guarded([&names] {
    using namespace ZQGLOBAL;
    ZQREAD1::READTHERMO(1);
    IO::strings w{"fuzz names"};
    smallint n = 0;
    IO::STRING2STRINGS(names, static_cast<smallint>(names.size() > 255 ? 255 : names.size()), w, n);
    NCV = 0;
    if (n == 0) {
      for (long i = 1; i <= NTP && i <= maxem; ++i) NAME[++NCV] = PHNAMES[i];
    } else {
      for (long k = 1; k <= n && NCV < maxem; ++k) {
        smallint i = 0;
        std::string msg;
        if (IO::WHATISSTRING(w[k]) == valuetype::aninteger && IO::STR2INT(w[k], i, msg) && i >= 1 && i <= NTP)
          NAME[++NCV] = PHNAMES[i];
        else
          NAME[++NCV] = w[k];
      }
    }
    ZQREAD1::READTHERMO(2);
    ZQREAD1::READTHERMO(3);
  });
}

// A whole run: [jx-prefs.txt] SEP [script] SEP [data set] SEP [ds-prefs.txt]
// SEP [answers] SEP [end-member file] SEP [a-x file] SEP [experiments
// file]. The script is there as "jx-fz.txt" and "ds-scrfz.txt", the data
// set as "jx-ds6fz.txt", the end-member file of calc mode 9 as
// "ds-emfz.txt" and "ds-emfz-f.txt" (for the preference "emsuffix fz"), its
// a-x and experiments files as "ds-axfz.txt" and "ds-xpfz.txt"; prefs,
// ds-prefs and the files of calc mode 9 only when their part is.
inline outcome run(const std::string& input) {
  const auto v = split(input, 8);
  if (given(v, 0)) writefile("jx-prefs.txt", part(v, 0));
  writefile("jx-fz.txt", part(v, 1));
  writefile("ds-scrfz.txt", part(v, 1));
  writefile("jx-ds6fz.txt", part(v, 2));
  if (given(v, 3)) writefile("ds-prefs.txt", part(v, 3));
  if (given(v, 5)) {
    writefile("ds-emfz.txt", part(v, 5));
    writefile("ds-emfz-f.txt", part(v, 5));
  }
  if (given(v, 6)) writefile("ds-axfz.txt", part(v, 6));
  if (given(v, 7)) writefile("ds-xpfz.txt", part(v, 7));
  resetstate();
  answers a(part(v, 4));
  return guarded([] { MAINPROGRAM::RUN(); });
}

// The a-x model file: [a-x file] SEP [end-member names of the data set]
// SEP [answers] SEP [flags]. The file is there as "jx-fzax.txt" and, for
// calc mode 9 (flag '9'), as "ds-axfz.txt"; no names given means a fixed
// list that the seeds use.
inline outcome axfile(const std::string& input) {
  const auto v = split(input, 4);
  writefile("jx-fzax.txt", part(v, 0));
  writefile("ds-axfz.txt", part(v, 0));
  resetstate();
  using namespace ZQGLOBAL;
  ALLOCATEWORK();
  if (part(v, 3).find('9') != std::string::npos) CALCMODE = calcmodetype::lsqdscalc;
  CONTROLDS.axsuffix = "fz";
  IO::CONTROLIO.axfile = "fzax";
  // No same-coding groups and no mode guesses in the script.
  NSC = 0;
  NMODEGUESS = 0;
  PDATAFILENAME = "jx-ds6fz.txt";
  IO::strings w{"fuzz names"};
  smallint n = 0;
  const std::string names = given(v, 1) && !part(v, 1).empty()
                                ? part(v, 1).substr(0, 255)
                                : "q ky mt hem Na+ Cl- Ca++ fo fa di hed jd alm py H2O CO2 CH4 O2 N2 buffer";
  IO::STRING2STRINGS(names, static_cast<smallint>(names.size()), w, n);
  NTP = 0;
  for (long k = 1; k <= n && NTP < maxdsem; ++k) PHNAMES[++NTP] = w[k];
  answers a(part(v, 2));
  return guarded([] { ZQREAD2::SETUPPHASES(); });
}

// The drawing data file: [qk-fz.txt] SEP [answers]; the whole drawing
// run, its picture on the SVG channel.
inline outcome drawing(const std::string& input) {
  const auto v = split(input, 2);
  writefile("qk-fz.txt", part(v, 0));
  resetstate();
  IO::CONTROLIO.scriptfile = "fz";
  testsupport::openchannel(CHANNEL::SVGBIT, "jx-fz.svg");
  answers a(part(v, 1));
  return guarded([] { ZQPLTX::PLOTIX(); });
}

// A run that ended as an internal fault (an index outside a table among
// them). Judged by the kind of the fault, not by the text on the terminal,
// which an input can fill with anything.
inline bool internalfault(const outcome& o) {
  if (!o.internal) return false;
  // The main program refuses calc mode 0 as the maintainers' own choice.
  return o.message != "sorry, mode 0 not available: use jx350";
}

}  // namespace fuzzdrive
