// The preferences file and the reading of switch words.
#include "frame/bytes.h"
#include "frame/io.h"

namespace IO {

void READCONTROL(const strings& words, smallint n, controlboolean& c, smallint& k) {
  c = yes;
  k = 1;
  if (n < 2) return;
  const sstring& w = words[2];
  if (w == "yes" || w == "on") {
    c = yes;
    k = 2;
  } else if (w == "ask") {
    c = ask;
    k = 2;
  } else if (w == "no" || w == "none") {
    c = no;
    k = 2;
  }
}

void READPREFS() {
  CONTROLIO.autoexit = false;
  CONTROLIO.dontwrap = true;
  CONTROLIO.dsfile.clear();
  CONTROLIO.scriptfile.clear();
  CONTROLIO.axfile.clear();
  CONTROLIO.pagewidth = 80;
  CONTROLIO.calcmode = -1;
  CONTROLIO.strictaxnames = true;
  CONTROLIO.monitorheap = false;

  textfile prefs;
  prefs.name = PREFSNAME();
  prefs.f = std::fopen(prefs.name.c_str(), "rb");
  if (prefs.f == nullptr) {
    if (std::FILE* ds = std::fopen(LSQPREFSNAME().c_str(), "rb")) {
      std::fclose(ds);
      return;
    }
    PUTSTR(1, std::string(2, macroman::bullet) + " no prefs file \"jx-prefs.txt\"", 2, CHANNEL::TERMLOG);
    PUTSTR(0, "on the Mac, if you double-clicked the jx351 icon then that won't work;", 1, CHANNEL::TERMLOG);
    PUTSTR(0, "try reading the \"getting started\" info on the SOLVARINTH website.", 1, CHANNEL::TERMLOG);
    ERROREXIT("readprefs", "can't open \"jx-prefs.txt\"", yourfault);
  }

  NFAIL = 0;
  NFAIL1 = 0;
  // Value word k + 1 of the line, or empty.
  auto valueword = [](const strings& words, smallint n, smallint k) { return k + 1 <= n ? words[k + 1] : sstring(); };
  while (!ENDOFFILE(prefs)) {
    strings words;
    smallint n = 0;
    READSTRINGS(prefs, words, n, true);
    if (n == 0) continue;
    const sstring& key = words[1];
    if (key[0] == '*') break;
    controlboolean c = yes;
    smallint k = 1;
    if (key == "dontwrap") {
      READCONTROL(words, n, c, k);
      CONTROLIO.dontwrap = c == yes;
    } else if (key == "monitorheap") {
      READCONTROL(words, n, c, k);
      CONTROLIO.monitorheap = c == yes;
    } else if (key == "dataset" || key == "dsfile") {
      READCONTROL(words, n, c, k);
      if (c == yes) CONTROLIO.dsfile = valueword(words, n, k);
    } else if (key == "scriptfile" || key == "datafile") {
      READCONTROL(words, n, c, k);
      if (c == yes) CONTROLIO.scriptfile = valueword(words, n, k);
    } else if (key == "setpagewidth") {
      smallint i = 0;
      std::string msg;
      if (n >= 2 && STR2INT(words[2], i, msg)) CONTROLIO.pagewidth = i < 80 ? 80 : (i > 250 ? 250 : i);
    } else if (key == "calcmode") {
      smallint i = 0;
      std::string msg;
      if (n >= 2 && STR2INT(words[2], i, msg)) CONTROLIO.calcmode = i;
    } else {
      PUTSTR(1, key + " unrecognised", 1, CHANNEL::TERMLOG);
      ++NFAIL;
    }
  }
  std::fclose(prefs.f);
  CHECKNAMEBYTES(CONTROLIO.dsfile, "the dsfile suffix", "readprefs");
  CHECKNAMEBYTES(CONTROLIO.scriptfile, "the scriptfile suffix", "readprefs");

  if (NFAIL > 0) {
    PUTSTR(0, "there are script problems in the prefs file listed immediately above:", 1, CHANNEL::TERMLOG);
    if (QUERY("exit, and delete unrecognised scripts from the prefs file")) USERINTERRUPT();
  }

  if (CONTROLIO.dsfile.empty() && CONTROLIO.calcmode != 9) {
    NFAIL1 = 1;
    EESTR.fill("");
    EESTR[1] = "1) new in jx350, the \"dsfile\" script is mandatory in the prefsfile, followed by the suffix ";
    EESTR[2] = "of the data-set file. So, if the data-set file is called \"jx-ds62.txt\", the script to use is "
               "\"dsfile 62\"";
    FORMATTEXT(EESTR);
  }
  if (CONTROLIO.scriptfile.empty()) {
    ++NFAIL1;
    EESTR.fill("");
    EESTR[1] = INT2STR(NFAIL1) + ") new in jx350, the \"scriptfile\" script is mandatory in the prefsfile, followed "
                                 "by the suffix ";
    EESTR[2] = "to the name of the script file. So, if the scriptfile is called \"jx-AFM\", the script to use is "
               "\"scriptfile AFM\"";
    EESTR[3] = "(If you were using one folder/directory to run several different scriptfiles via prompts, it is "
               "better to run ";
    EESTR[4] = "them in separate folders/directories)";
    FORMATTEXT(EESTR);
  }

  if (NFAIL1 == 0 && NFAIL > 0) {
    PUTSTR(1, "there are script problems listed immediately above:", 1, CHANNEL::TERMLOG);
    if (QUERY("exit, and correct the scriptfile")) USERINTERRUPT();
  } else if (NFAIL1 > 0) {
    if (NFAIL > 0) {
      EESTR.fill("");
      EESTR[1] = NFAIL1 == 1 ? "in addition to the absence of the indicated mandatory script, there are other "
                               "script problems listed above:"
                             : "in addition to the absence of the indicated mandatory scripts, there are other "
                               "script problems listed above:";
      FORMATTEXT(EESTR);
    }
    ERROREXIT("reading scripts", "add mandatory scripts to the prefsfile", yourfault);
  }
}

}  // namespace IO
