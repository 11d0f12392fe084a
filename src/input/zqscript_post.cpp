// After the last script line: the mandatory keywords, the one question about
// counted problems, and the settings that depend on several keywords brought
// into one consistent state before any calc mode reads them.
#include "frame/bytes.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

void helpblock(std::initializer_list<std::string> lines) {
  for (long i = 1; i <= 12; ++i) IO::EESTR[i].clear();
  long i = 0;
  for (const auto& s : lines) {
    ++i;
    IO::EESTR[i] = (i == 1 ? IO::INT2STR(IO::NFAIL1) : std::string()) + s;
  }
  IO::FORMATTEXT(IO::EESTR);
}

void missing(std::initializer_list<std::string> lines) {
  IO::NFAIL1 = static_cast<smallint>(IO::NFAIL1 + 1);
  helpblock(lines);
}

void mandatory() {
  IO::NFAIL1 = 0;
  if (IO::CONTROLIO.calcmode == 9 || DOINGCONVERT) return;
  if (IO::CONTROLIO.axfile.empty())
    missing({") new in jx350, the \"axfile\" script is mandatory, followed by the suffix to the name ",
             "of the axfile. So, if the axfile is called \"jx-blahblah\", the script to use is \"axfile blahblah\""});
  if (CALCMODE != calcmodetype::utilitycalc && NWHSTRINGS == 0)
    missing({") new in jx350, the \"with\" script is mandatory, followed by the list of phases for this run (or a "
             "set of runs). ",
             "If the list is for a set of runs, the current run being a subset of this list, then use the script, "
             "\"with someof\" ",
             "followed by the list of phases. jx350 will prompt you for which phases in the list to use in this run"});
  if (CONTROLJX.diagramPT != yes)
    missing({") new in jx350, the \"diagramPT\" script is mandatory, followed by 4 values separated by spaces, ",
             std::string("Plow, Phigh, Tlow, Thigh, in kbar and ") + macroman::degree_s +
                 "C. In the case of a PT grid or PT pseudosection the values are simply the bounds ",
             "diagram. In the case of a Tx diagram, the P values need to be a range around the P of the diagram, "
             "given that",
             "of the effective invariants are calculated in terms of a line in PTx. Ditto for Px diagrams"});
  if (!PSEUDOSECTIONGIVEN && IO::CONTROLIO.calcmode == 1)
    missing({") new in jx350, the \"pseudosection\" script is mandatory, either just \"pseudo- section\", "
             "meaning ",
             "pseudosection calculations intended, or \"pseudosection no\", meaning for example grid calculations "
             "(no bulk composition used)."});
}

void decision() {
  if (IO::NFAIL1 == 0 && IO::NFAIL > 0) {
    IO::PUTSTR(1, "there are script problems listed immediately above:", 1, CHANNEL::TERMSUMLOG);
    if (IO::QUERY("exit, and correct the scriptfile")) IO::USERINTERRUPT();
  } else if (IO::NFAIL1 > 0) {
    if (IO::NFAIL > 0) {
      for (long i = 1; i <= 12; ++i) IO::EESTR[i].clear();
      IO::EESTR[1] = IO::NFAIL1 > 1 ? "in addition to the absence of the indicated mandatory scripts, there are "
                                      "other script problems listed above:"
                                    : "in addition to the absence of the indicated mandatory script, there are "
                                      "other script problems listed above:";
      IO::FORMATTEXT(IO::EESTR);
    }
    SCRIPTFAULT("add mandatory scripts to scriptfile");
  }
}

void dogminchecks() {
  if (!DOGMIN) {
    DOGLEVEL = -1;
    return;
  }
  if (DOGLEVEL < 0 || DOGLEVEL > 2) DOGLEVEL = 2;
  CONTROLJX.tozero = no;
  NTOZEROSTRINGS = 0;
  CONTROLJX.printxyz = DOGLEVEL > 0 ? yes : no;
  if (CONTROLJX.printbulkinfo != no && DOGLEVEL == 1) CONTROLJX.printbulkinfo = yes;
  CONTROLJX.modeiso = no;
  CONTROLJX.zeromodeiso = no;
  CONTROLJX.isopleth = no;
  CONTROLJX.project = no;
  CONTROLJX.c8 = no;
  CONTROLJX.modebox = no;
  CONTROLJX.uncertainties = no;
  CONTROLJX.uncertaintylevel = 0;
  CALCG = true;
  OUTLEVEL = 0;
  PSEUDOSECTION = true;
  if (NCOMP >= 2) {
    if (CONTROLJX.onebulk == no) {
      IO::PUTSTR(1, "with a bulk range, use the onebulk script", 0, CHANNEL::TERMLOG);
      SCRIPTFAULT("dogmin works on one bulk", "read scripts");
    }
    CONTROLJX.onebulk = yes;
  }
}

void batchsetup() {
  if (NBATCH == 0) SCRIPTFAULT("batch entry failed", "read scripts");
  if (NBATCH == -1) {
    MCIT = 1;
    CONTROLJX.batch = no;
    CONTROLJX.mc = no;
    NBATCH = 1;
    return;
  }
  if (CONTROLJX.fractionation == yes) {
    PSEUDOSECTION = true;
    DEFAULTPTWINDOW();
    return;
  }
  if (NMC == 0) SCRIPTFAULT("mcjx entry failed", "read scripts");
  if (NMC == -1) {
    CONTROLJX.mc = no;
    MCIT = 1;
    NXYZ = 0;
    CONTROLJX.someof = false;
    DEFAULTPTWINDOW();
    return;
  }
  for (smallint i = 1; i <= NBATCH; ++i)
    if (BATCHINFO[i].np != 1 || BATCHINFO[i].nt != 1)
      SCRIPTFAULT("only one calc per batch in mcjx currently", "read scripts");
  if (WITHOLDSET) SCRIPTFAULT("no mcjx with oldset", "read scripts");
  if (NEXCESSSTRINGS > 0 || NTOZEROSTRINGS > 0)
    SCRIPTFAULT("sorry! in-excess phases not allowed with" + std::string(20, ' '), "read scripts");
  if (NMCRANGE < 0) NMCRANGE = 0;
  if (NMCFUNC < 0) NMCFUNC = 0;
  NSC = 0;
  CONTROLJX.batchdebug = yes;
  PSEUDOSECTION = false;
  MODESBYNLE = false;
  CONTROLJX.projplane = no;
  CONTROLJX.someof = false;
  CALCG = false;
  CONTROLJX.uncertaintylevel = 0;
  DEFAULTPTWINDOW();
  if (CONTROLJX.mcdebug == yes) {
    DEBUGLEVEL = 1;
    MCIT = 5;
    MCITOK = 3;
  } else {
    DEBUGLEVEL = 0;
    CONTROLJX.printxyz = no;
  }
  IO::CONTROLIO.strictaxnames = true;
  CONTROLJX.plotix = no;
  IO::WRITETERMINAL("\n");
}

void batchswitches() {
  if (NBATCHSWITCH < 1) {
    NBATCHSWITCH = NBATCH;
    for (smallint i = 1; i <= NBATCH; ++i) BATCHSWITCH[i] = true;
  }
  if (NBATCHSWITCH == NBATCH) {
    for (smallint i = 1; i <= NBATCH; ++i) BATCHNO[i] = i;
    return;
  }
  smallint k = 0;
  for (smallint i = 1; i <= NBATCH; ++i)
    if (BATCHSWITCH[i]) {
      ++k;
      BATCHNO[k] = i;
      if (k != i) BATCHINFO[k] = BATCHINFO[i];
    }
  NBATCH = k;
}

void batchrequirements() {
  if (NBATCHREQ < 0) NBATCHREQ = 0;
  if (NBATCHREQ == 0) return;
  smallint kept = 0;
  for (smallint e = 1; e <= NBATCHREQ; ++e) {
    breqtype r = BATCHREQ[e];
    smallint c = 0;
    for (smallint j = 1; j <= r.count; ++j)
      for (smallint i = 1; i <= NBATCH; ++i)
        if (BATCHNO[i] == r.item[j]) {
          r.item[++c] = i;
          break;
        }
    r.count = c;
    if (c > 0) BATCHREQ[++kept] = r;
  }
  NBATCHREQ = kept;
  if (NBATCHREQ <= 0) return;
  std::string s = "caring batches\n";
  for (smallint e = 1; e <= NBATCHREQ; ++e) {
    std::string f = IO::INT2STR(BATCHREQ[e].item[1]);
    while (f.size() < 3) f = " " + f;
    s += f;
    if (e % 20 == 0) s += "\n";
  }
  IO::WRITETERMINAL(s + "\n");
}

bool inlist(const sstring& w, const farray<sstring, 1, maxphaselist>& list, smallint n) {
  for (smallint i = 1; i <= n; ++i)
    if (list[i] == w) return true;
  return false;
}

void mergephases() {
  if (NTOZEROSTRINGS != 0 && NEXCESSSTRINGS == 0) {
    for (smallint i = 1; i <= NTOZEROSTRINGS; ++i) EXCESSSTRINGS[i] = TOZEROSTRINGS[i];
    NEXCESSSTRINGS = NTOZEROSTRINGS;
  } else if (NTOZEROSTRINGS != 0 && NEXCESSSTRINGS != 0) {
    const smallint before = NEXCESSSTRINGS;
    for (smallint i = 1; i <= NTOZEROSTRINGS; ++i) {
      bool found = false;
      for (smallint j = 1; j <= before; ++j)
        if (EXCESSSTRINGS[j] == TOZEROSTRINGS[i]) found = true;
      if (found) continue;
      if (NEXCESSSTRINGS >= maxexcess)
        SCRIPTFAULT("too many phases in excess and taken to zero (max = " + IO::INT2STR(maxexcess) + ")");
      EXCESSSTRINGS[++NEXCESSSTRINGS] = TOZEROSTRINGS[i];
    }
  }
  if (NEXCESSSTRINGS != 0 && CALCMODE != calcmodetype::utilitycalc && NWHSTRINGS >= 1 && NWHSTRINGS <= 99) {
    const smallint before = NWHSTRINGS;
    for (smallint i = 1; i <= NEXCESSSTRINGS; ++i)
      if (!inlist(EXCESSSTRINGS[i], WHSTRINGS, before)) WHSTRINGS[++NWHSTRINGS] = EXCESSSTRINGS[i];
  }
}

void normalise(smallint n) {
  extended s = 0;
  for (smallint i = 1; i <= n; ++i) s += RBIMODE[i];
  if (s == 0) SCRIPTFAULT("the rbi modes sum to zero");
  for (smallint i = 1; i <= n; ++i) RBIMODE[i] = RBIMODE[i] / s;
}

}  // namespace

void POSTREADCHECKS() {
  DOINGCONVERT = CALCMODE == calcmodetype::utilitycalc && UTILITYCODE == 1;
  mandatory();
  decision();
  IO::FILECLOSE(IO::DATA, true, "scriptfile");
  IO::SCRIPTOPEN = false;
  IO::DATAOPEN = false;
  if (OUTLEVEL < 0 || OUTLEVEL > 1) OUTLEVEL = 1;
  dogminchecks();
  if (!PSEUDOSECTION) CALCG = false;
  if (FILTERING && NFILT != NBATCH) SCRIPTFAULT("flitters don't match batches", "read scripts");
  batchsetup();
  if (CONTROLJX.batch == yes) {
    if (NXYZ > 0) SCRIPTFAULT("xyzguess not allowed with batches (use batchxyzguess)", "scripts");
    if (NBATCHXYZ < 1) SCRIPTFAULT("no batchxyzguess to use with batches", "scripts");
  }
  batchswitches();
  batchrequirements();
  if (NBATCH > 1) {
    std::string s = "no of batches = " + IO::INT2STR(NBATCH);
    if (NMC != 0) s += "; no of filters = " + IO::INT2STR(NFILT) + "; no of mc = " + IO::INT2STR(NMC);
    IO::PUTSTR(1, s, 1, CHANNEL::TERMLOG);
  }
  if (NMC <= 1 && NBATCH <= 1 && DEBUGLEVEL == 0) DEBUGLEVEL = 1;
  mergephases();
  if (PSEUDOSECTION) {
    if (NCOMP <= 0) SCRIPTFAULT("no bulk for pseudosection calcs");
    if (CONTROLJX.rbi == yes && CONTROLJX.rmi == yes) SCRIPTFAULT("both rbi and rmi are set?");
    if (CONTROLJX.rbi == yes) normalise(NRBIMODE);
    if (CONTROLJX.rmi == yes) normalise(NRMIMODE);
  }
  if (!DOGMIN && CONTROLJX.setvar == yes && PSEUDOSECTION) {
    CONTROLJX.setvar = no;
    CONTROLJX.acceptvar = yes;
  }
  if (CONTROLJX.compatibility == yes || CONTROLJX.modebox == yes) CONTROLJX.plotix = no;
  if (CONTROLJX.lsqds == yes) CONTROLJX.project = no;
  if (!WITHOLDSET) IO::CONTROLIO.strictaxnames = true;
  EXBUFF = FIGURE == 1 || FIGURE == 2;
  POSTREADMINERALS();
  POSTREADAVPTPLUS();
}

}  // namespace ZQSCRIPT
