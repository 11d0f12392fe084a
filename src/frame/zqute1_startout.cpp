// Opening the script and creating the output files of the run.
#include <cstdio>
#include <vector>

#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQUTE1 {

namespace {

struct outfile {
  const char* prefix;
  std::string name;  // the part after the prefix, before the cut
  IO::textfile* file;
  int bit;
  const char* notice;  // shown before the quoted name; none when empty
  smallint after;      // line ends after the notice
};

std::string fullname(const outfile& o) { return IO::OUTPUTNAME(o.prefix, o.name); }

// A file the run reads, and what it is to the user.
struct infile {
  std::string name;
  const char* role;
};

// No two files of one run may share a name: two outputs would overwrite
// each other's text, and an output named like a file the run reads would
// empty that file when it is created. Nor may two of them be one file under
// two names (a symbolic or hard link made beforehand), which the names alone
// do not show; the file system tells it of files that exist. Everything is
// compared before the first output file (the log included) is made. Later
// outputs are files the run makes at its end under names known now.
void checknames(const std::vector<outfile>& outs, const std::vector<infile>& ins,
                const std::vector<std::string>& later = {}) {
  std::vector<std::string> names{IO::LOGFILE.name};
  for (const outfile& o : outs) names.push_back(fullname(o));
  names.insert(names.end(), later.begin(), later.end());
  // Stopping for a clash that takes in the log: the file under its name
  // belongs to the user and is left as it is.
  auto stop = [](std::size_t i, const std::string& message) {
    if (i == 0) IO::DROPLOG();
    IO::ERROREXIT("startout", message, yourfault);
  };
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (const infile& in : ins) {
      if (names[i] == in.name) stop(i, "the output file \"" + names[i] + "\" would overwrite the " + in.role + " file");
      if (IO::SAMEFILE(names[i], in.name))
        stop(i, "the output file \"" + names[i] + "\" would overwrite the " + in.role + " file \"" + in.name +
                    "\", the same file under another name");
    }
    for (std::size_t j = i + 1; j < names.size(); ++j) {
      if (names[i] == names[j])
        IO::ERROREXIT("startout",
                      "two files of the run would both be named \"" + names[i] + "\": use a shorter scriptfile suffix",
                      yourfault);
      if (IO::SAMEFILE(names[i], names[j]))
        stop(i, "two files of the run, \"" + names[i] + "\" and \"" + names[j] +
                    "\", are the same file under two names");
    }
  }
}

// The value word of the script's last line of the keyword that takes it
// (as the reader does, the last such line wins), or empty. The script f is
// read from its start and put back there for the reader.
sstring scriptword(IO::textfile& f, const sstring& keyword, bool quietly, bool (*takes)(const sstring&)) {
  sstring value;
  IO::strings w{"script line"}, line{"script words"};
  smallint n = 0;
  while (!IO::ENDOFFILE(f)) {
    smallint m = 0;
    // Quietly, a line that cannot be read, or holds more words than a line
    // may, ends the search: it is its reader's to report, and a stop raised
    // here, while a run that stopped on that very line is ending, would
    // meet it again.
    if (!quietly)
      IO::READSTRINGS(f, w, m, true);
    else if (!IO::TRYREADSTRINGS(f, w, m, true))
      break;
    const bool continues = m > 0 && w[m] == "\\";
    if (continues) --m;
    for (smallint i = 1; i <= m && n < maxwords; ++i) line[++n] = w[i];
    if (m > 0 && continues) continue;
    if (n > 0 && line[1][0] == '*') break;
    if (n > 0 && line[1] == keyword) {
      controlboolean c = yes;
      smallint pos = 1;
      IO::READCONTROL(line, n, c, pos);
      if (n > pos && takes(line[pos + 1])) value = IO::MAKESSTRING(line[pos + 1]);
    }
    n = 0;
  }
  IO::REWIND(f);
  return value;
}

bool anyword(const sstring&) { return true; }

// The a-x suffix that the script's "axfile" lines leave for the first pass,
// or else the one asked at start-up.
sstring scriptaxfile(IO::textfile& f, bool quietly) {
  const sstring ax = scriptword(f, "axfile", quietly, anyword);
  return ax.empty() ? FIRSTAXFILE : ax;
}

void addinput(std::vector<infile>& ins, const std::string& name, const char* role) { ins.push_back({name, role}); }

// The inputs of every calc mode: the preferences and the data set.
std::vector<infile> commoninputs() {
  std::vector<infile> ins{{IO::PREFSNAME(), "preferences"}, {IO::LSQPREFSNAME(), "least-squares preferences"}};
  if (!IO::CONTROLIO.dsfile.empty()) addinput(ins, IO::DATASETNAME(IO::CONTROLIO.dsfile), "data-set");
  return ins;
}

// Calc mode 0 may draw a diagram from the drawing data file named after
// the script, or after the suffix its question took (kept as the
// preferences' script suffix), which the drawing reads once the outputs are
// made.
void drawinginput(std::vector<infile>& ins, const std::string& suffix) {
  if (CALCMODE != calcmodetype::utilitycalc) return;
  for (const std::string& s : {suffix, std::string(IO::CONTROLIO.scriptfile)})
    if (!s.empty()) {
      const std::string name = IO::DRAWINGNAME(s);
      bool listed = false;
      for (const infile& in : ins) listed = listed || in.name == name;
      if (!listed) addinput(ins, name, "drawing data");
    }
}

// The files that calc mode 9's preferences name for it to read, besides
// its own script.
void lsqinputs(std::vector<infile>& ins) {
  addinput(ins, IO::SCRIPTNAME(IO::CONTROLIO.scriptfile), "script");
  addinput(ins, IO::LSQAXNAME(CONTROLDS.axsuffix), "a-x");
  addinput(ins, IO::EMNAME(CONTROLDS.emsuffix), "end-member");
  addinput(ins, IO::EMFNAME(CONTROLDS.emsuffix), "end-member");
  addinput(ins, IO::XPNAME(CONTROLDS.xpsuffix), "experiments");
}

void create(const std::vector<outfile>& outs) {
  for (const outfile& o : outs) {
    IO::PROMPTOUTFILE(o.prefix, o.name, *o.file);
    IO::WHATSOPEN += IO::BITV[o.bit];
    if (bool* used = IO::CHANNELUSED(o.bit)) *used = false;
    if (*o.notice != 0) IO::PUTSTR(0, o.notice + ("\"" + o.file->name + "\""), o.after, CHANNEL::TERMLOG);
  }
}

// An empty suffix is asked for, and the answer kept in it.
void openscript(sstring& suffix) {
  IO::FILENAME = IO::PROMPTDATAFILE(IO::SCRIPTNAME, suffix, "script info", IO::DATA);
  IO::SCRIPTOPEN = true;
  IO::SCRIPTFILENAME = IO::FILENAME;
}

}  // namespace

void GUARDLOG() {
  if (!IO::LOGFILE.holding) return;
  std::vector<infile> ins = commoninputs();
  if (CALCMODE == calcmodetype::lsqdscalc || IO::CONTROLIO.calcmode == 9) {
    if (!CONTROLDS.jxdssuffix.empty())
      addinput(ins, IO::LSQSCRIPTNAME(CONTROLDS.jxdssuffix), "least-squares script");
    lsqinputs(ins);
  } else {
    // The script's suffix as typed, or else as the preferences give it.
    const sstring s = IO::DATAFILENAMESUFFIX.empty() ? IO::CONTROLIO.scriptfile : IO::DATAFILENAMESUFFIX;
    drawinginput(ins, s);
    if (!s.empty()) {
      addinput(ins, IO::SCRIPTNAME(s), "script");
      IO::textfile script;
      script.name = ins.back().name;
      script.f = std::fopen(script.name.c_str(), "rb");
      if (script.f != nullptr) {
        const sstring ax = scriptaxfile(script, true);
        std::fclose(script.f);
        if (!ax.empty()) addinput(ins, IO::AXNAME(ax), "a-x");
      }
    }
  }
  // The log may be one of them under its own name or, through a link,
  // under another.
  IO::LOGFILE.readbyrun = false;
  for (const infile& in : ins)
    if (in.name == IO::LOGFILE.name || IO::SAMEFILE(in.name, IO::LOGFILE.name)) IO::LOGFILE.readbyrun = true;
}

sstring SCRIPTWORD(const sstring& keyword, bool (*takes)(const sstring&)) {
  return scriptword(IO::DATA, keyword, false, takes);
}

void OPENSCRIPT() {
  if (CALCMODE == calcmodetype::lsqdscalc) return;
  IO::PUTSTR(1, IO::CONTROLIO.progname + "  running at " + IO::WHENSTRING, 1, CHANNEL::SUMLOG);
  IO::DATAFILENAMESUFFIX = IO::CONTROLIO.scriptfile;
  openscript(IO::DATAFILENAMESUFFIX);
  // The first pass reads the data set before anything else: a suffix not
  // in the preferences is asked now, so that its file is among those
  // checked before the outputs are made.
  if (CALCMODE != calcmodetype::utilitycalc) IO::PROMPTSUFFIX(IO::CONTROLIO.dsfile, "thermo dataset");
  IO::CHECKNAMEBYTES(scriptaxfile(IO::DATA, false), "the axfile suffix", "startout");
}

void MAKEOUTPUTS() {
  if (CALCMODE != calcmodetype::lsqdscalc) {
    const std::string& s = IO::DATAFILENAMESUFFIX;
    const std::vector<outfile> outs = {
        {"jx-", s + "-o.txt", &IO::OUT, CHANNEL::SUMMARYBIT, "summary output in the file, ", 1},
        {"jx-", s + "-qk.txt", &IO::QKFILE, CHANNEL::DRAWINGBIT, "other (eg plotix) output in the file, ", 1},
        {"jx-", s + "-it.txt", &IO::ITFILE, CHANNEL::AXINFOBIT, "a-x info in the file, ", 1},
        {"jx-", s + "-ic.txt", &IO::ICFILE, CHANNEL::DETAILSBIT, "details of calc results in the file, ", 1},
        {"jx-", s + ".csv", &IO::CSVFILE, CHANNEL::CSVBIT, "info in csv format in the files, ", 0},
        {"jx-", s + "-2.csv", &IO::CSV2FILE, CHANNEL::CSV2BIT, " and ", 1},
        {"jx-", s + ".svg", &IO::SVGFILE, CHANNEL::SVGBIT, "graphics info in the files, ", 0},
    };
    std::vector<infile> ins = commoninputs();
    addinput(ins, IO::SCRIPTFILENAME, "script");
    // Looked at again: the script may have been edited while a question
    // waited.
    const sstring ax = scriptaxfile(IO::DATA, false);
    IO::CHECKNAMEBYTES(ax, "the axfile suffix", "startout");
    if (!ax.empty()) addinput(ins, IO::AXNAME(ax), "a-x");
    drawinginput(ins, s);
    checknames(outs, ins);
    IO::OPENLOG();
    create(outs);
    IO::PUTSTR(2, "these may not all be populated, depending on the calcs;", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "solvarinth should delete empty files at the end of each run", 1, CHANNEL::TERMLOG);
    return;
  }

  // A suffix typed here is kept where the preferences put theirs, so that
  // an end at this question knows the file it names.
  IO::DATAFILENAMESUFFIX = CONTROLDS.jxdssuffix;
  IO::SCRIPTFILENAME = IO::PROMPTDATAFILE(IO::LSQSCRIPTNAME, CONTROLDS.jxdssuffix, "script info", IO::DATA);
  const sstring d = CONTROLDS.jxdssuffix;
  IO::DATAFILENAMESUFFIX = d;
  IO::SCRIPTOPEN = true;
  const std::vector<outfile> outs = {
      {"ds-o", d + ".txt", &IO::OUT, CHANNEL::SUMMARYBIT, "", 0},
      {"ds-ic", d + ".txt", &IO::ICFILE, CHANNEL::DETAILSBIT, "intermediate/auxiliary calc results are in the file, ", 1},
      {"ds-", d + ".csv", &IO::CSVFILE, CHANNEL::CSVBIT, "dataset in csv format in the file, ", 1},
  };
  std::vector<infile> ins = commoninputs();
  addinput(ins, IO::SCRIPTFILENAME, "least-squares script");
  lsqinputs(ins);
  // The new data set and the new-format end-member file.
  const std::vector<std::string> later = {IO::NEWDATASETNAME(d), IO::NEWEMNAME(CONTROLDS.emsuffix)};
  checknames(outs, ins, later);
  IO::OPENLOG();
  create(outs);
  // The new data set is named after the least-squares suffix, so that stays
  // the run's suffix while the script takes the place of the other input.
  sstring script = IO::CONTROLIO.scriptfile;
  openscript(script);
  IO::PUTSTR(1, "running LSQDS from within " + IO::CONTROLIO.progname, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "at " + IO::WHENSTRING, 1, CHANNEL::TERMSUMLOG);
}

void STARTOUT() {
  OPENSCRIPT();
  MAKEOUTPUTS();
}

}  // namespace ZQUTE1
