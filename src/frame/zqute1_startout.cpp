// Opening the script and creating the output files of the run.
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

std::string fullname(const outfile& o) { return o.prefix + o.name.substr(0, sstringlength); }

// Two files of one run that end up with one name would overwrite each
// other's text; so would an output named like the script or the log.
void checknames(const std::vector<outfile>& outs, const std::string& script) {
  std::vector<std::string> names{"jx-log.txt"};
  for (const outfile& o : outs) names.push_back(fullname(o));
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == script)
      IO::ERROREXIT("startout", "the output file \"" + names[i] + "\" would overwrite the script file", yourfault);
    for (std::size_t j = i + 1; j < names.size(); ++j)
      if (names[i] == names[j])
        IO::ERROREXIT("startout",
                      "two files of the run would both be named \"" + names[i] + "\": use a shorter scriptfile suffix",
                      yourfault);
  }
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
  IO::FILENAME = IO::PROMPTDATAFILE("jx-", suffix, "script info", IO::DATA);
  IO::SCRIPTOPEN = true;
  IO::SCRIPTFILENAME = IO::FILENAME;
}

}  // namespace

void STARTOUT() {
  if (CALCMODE != calcmodetype::lsqdscalc) {
    IO::PUTSTR(1, IO::CONTROLIO.progname + "  running at " + IO::WHENSTRING, 1, CHANNEL::SUMLOG);
    IO::DATAFILENAMESUFFIX = IO::CONTROLIO.scriptfile;
    openscript(IO::DATAFILENAMESUFFIX);
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
    checknames(outs, IO::SCRIPTFILENAME);
    create(outs);
    IO::PUTSTR(2, "these may not all be populated, depending on the calcs;", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "solvarinth should delete empty files at the end of each run", 1, CHANNEL::TERMLOG);
    return;
  }

  sstring d = CONTROLDS.jxdssuffix;
  IO::DATAFILENAMESUFFIX = d;
  IO::SCRIPTFILENAME = IO::PROMPTDATAFILE("ds-scr", d, "script info", IO::DATA);
  IO::DATAFILENAMESUFFIX = d;
  IO::SCRIPTOPEN = true;
  const std::vector<outfile> outs = {
      {"ds-o", d + ".txt", &IO::OUT, CHANNEL::SUMMARYBIT, "", 0},
      {"ds-ic", d + ".txt", &IO::ICFILE, CHANNEL::DETAILSBIT, "intermediate/auxiliary calc results are in the file, ", 1},
      {"ds-", d + ".csv", &IO::CSVFILE, CHANNEL::CSVBIT, "dataset in csv format in the file, ", 1},
  };
  checknames(outs, IO::SCRIPTFILENAME);
  checknames(outs, "jx-" + IO::CONTROLIO.scriptfile + ".txt");
  create(outs);
  // The new data set is named after the least-squares suffix, so that stays
  // the run's suffix while the script takes the place of the other input.
  sstring script = IO::CONTROLIO.scriptfile;
  openscript(script);
  IO::PUTSTR(1, "running LSQDS from within " + IO::CONTROLIO.progname, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "at " + IO::WHENSTRING, 1, CHANNEL::TERMSUMLOG);
}

}  // namespace ZQUTE1
