// The driver of calc mode 2: the rock's passes with their activity table and
// edits, windows, reaction set (found or from the script), the largest sd
// allowed, and the choice of average P, T or PT.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "frame/zqute2.h"
#include "input/zqread1.h"
#include "model/zqcalc2.h"
#include "model/zqre.h"
#include "reactions/zqavpt.h"

using namespace ZQGLOBAL;

namespace ZQAVPT {

namespace {

constexpr long tablewidth = 14;   // end-members per block of the activity table
constexpr std::size_t ISRCOLUMN = 5;  // narrowest column of the isr block written for rereading
constexpr extended SDTMIN = 20, SDTMAX = 500;      // typed max sd(T), degrees C
constexpr extended SDPMIN = 0.05L, SDPMAX = 20;    // typed max sd(P), kbar

// What the driver keeps over its passes of one rock.
struct rockcalcs {
  emvector savedactivity{"saved activity"};
  emvector savedsd{"saved sd"};
  farray<bool, 1, maxem> excluded{"excluded"};
  bool changed = false;
  smallint compare = 0;
  // The calc type of every pass when a test sets it (no user path does).
  std::optional<avtype> forced;

  void exclude(long i) {
    // Excluding an end-member twice lists it once.
    if (excluded[i]) return;
    excluded[i] = true;
    ++NEX1;
    EXEM[NEX1] = static_cast<smallint>(i);
  }

  void restore() {
    for (long i = 1; i <= NCV; ++i) {
      ACTIVITY[i] = savedactivity[i];
      SDACTIVITY[i] = savedsd[i];
    }
  }

  void activitytable() const {
    const longint mask = CHANNEL::TERMLOG;
    for (long b0 = 1; b0 <= NCV; b0 += tablewidth) {
      const long b1 = std::min<long>(b0 + tablewidth - 1, NCV);
      std::string names, act, sda;
      IO::ADDSTR(b0 == 1 && !CONTROLJX.runnametext.empty() ? CONTROLJX.runnametext : " ", 6, names);
      IO::ADDSTR("a", 6, act);
      IO::ADDSTR("sd(a)", 6, sda);
      for (long i = b0; i <= b1; ++i) {
        if (excluded[i]) continue;
        IO::ADDNAME(NAME[i], 9, names);
        if (i == H2OPOS || i == CO2POS) {
          IO::ADDSTR(" ", 9, act);
          IO::ADDSTR(" ", 9, sda);
          continue;
        }
        IO::ADDREAL(ACTIVITY[i], 3, false, 9, act);
        if (SDACTIVITY[i] > 0)
          IO::ADDREAL(SDACTIVITY[i], 3, false, 9, sda);
        else
          IO::ADDSTR("       0", 9, sda);
      }
      IO::PUTSTR(b0 == 1 ? 1 : 0, names, 1, mask);
      IO::PUTSTR(0, act, 1, mask);
      IO::PUTSTR(0, sda, 2, mask);
    }
  }

  void editdialogue() {
    IO::strings words{"exclusions"};
    smallint n = 0;
    IO::PROMPTSTRINGS("names of end-members to be excluded", words, n);
    for (long w = 1; w <= n; ++w) {
      if (w == n && words[w] == "*") break;
      smallint i = ZQUTE2::ONEPOSITION(words[w], "rockcalcs", "excluded");
      if (i == 0) {
        sstring again;
        IO::PROMPTSTRING("bad name : replace " + words[w] + " with ", again);
        i = ZQUTE2::ONEPOSITION(again, "rockcalcs", "excluded");
        if (i == 0) {
          IO::PUTSTR(0, std::string("forget it!  (check the name") + macroman::ellipsis_s + ")", 1, CHANNEL::TERMLOG);
          continue;
        }
      }
      exclude(i);
      changed = true;
    }
    bool edits = false;
    if (NPSS <= 0) {
      if (n > 0)
        edits = !IO::QUERY("these are the only changes you want to make");
      else
        edits = IO::QUERY("do you want to change anything else");
    }
    while (edits) {
      sstring name;
      IO::PROMPTSTRING("name of end-member", name);
      if (name.empty() || name == "*") break;
      const smallint i = ZQUTE2::ONEPOSITION(name, "rockcalcs", "activity");
      if (i == 0) break;
      const extended olda = ACTIVITY[i], oldsd = SDACTIVITY[i];
      IO::PROMPTREAL("     activity(" + name + ")", ACTIVITY[i]);
      while (!(ACTIVITY[i] > 0 && ACTIVITY[i] <= 1))
        IO::PROMPTREAL("should be 0 < activity <= 1 : try again", ACTIVITY[i]);
      IO::PROMPTREAL("     sd activity(" + name + ")", SDACTIVITY[i]);
      changed = ACTIVITY[i] != olda || SDACTIVITY[i] != oldsd;
    }
    // An end-member that alone carries a component can take part in no reaction.
    for (long k = 1; k <= NUV; ++k) {
      long found = 0, last = 0;
      for (long j = 1; j <= NCV && found < 2; ++j)
        if (!excluded[j] && (*C)(k, j) != 0) {
          ++found;
          last = j;
        }
      if (found == 1) exclude(last);
    }
  }

  // The windows as the calculation takes them, after the overall window
  // has clamped what the user typed.
  static void physicalwindows() {
    ZQUTE1::PHYSICALWINDOW(true, "docalcpt");
    ZQUTE1::PHYSICALWINDOW(false, "docalcpt");
  }

  void windows() {
    switch (AVMODE) {
      case avtype::avpmode:
        FIX = fixtype::fixt;
        ZQUTE2::DOCALCPT("", "P window within which average P expected to lie", "T at which average P to be calculated");
        ZQUTE1::POK(PLOW, PHIGH, xOKtype::mustbedifferent);
        ZQUTE1::TOK(TLOW, THIGH, xOKtype::canbesame);
        physicalwindows();
        ZQUTE1::LISTT();
        NLP = 0, NLX = 0;
        break;
      case avtype::avtmode:
        FIX = fixtype::fixp;
        ZQUTE2::DOCALCPT("", "P at which average T to be calculated", "T window within which average T expected to lie");
        ZQUTE1::TOK(TLOW, THIGH, xOKtype::mustbedifferent);
        ZQUTE1::POK(PLOW, PHIGH, xOKtype::canbesame);
        physicalwindows();
        ZQUTE1::LISTP();
        NLT = 0, NLX = 0;
        break;
      case avtype::avptmode:
        FIX = fixtype::fixpt;
        ZQUTE2::DOCALCPT("PT window within which average PT expected to lie",
                         "P window within which average PT expected to lie",
                         "T window within which average PT expected to lie");
        ZQUTE1::TOK(TLOW, THIGH, xOKtype::mustbedifferent);
        ZQUTE1::POK(PLOW, PHIGH, xOKtype::mustbedifferent);
        physicalwindows();
        NLP = 0, NLT = 0, NLX = 0;
        break;
      default:
        break;
    }
    if (NPSS < 1) {
      FIXEDT = 0.5L * (TLOW + THIGH);
      FIXEDP = 0.5L * (PLOW + PHIGH);
    }
    IO::PROMPTCONTROL("independent set of reactions for rereading (put into logfile)", CONTROLJX.pisr);
    IO::PROMPTCONTROL("use independent set of reactions (isr) in script", CONTROLJX.isr);
  }

  // The script's reaction set as the pass's set: writes NR, rows 1..NR of R
  // and ALNK, in place of the set ZQRE::CALCRE would find.
  static void scriptreactions() {
    const isrtype& t = CONTROLJX.isrdata;
    if (t.nname != NCV) IO::ERROREXIT("rockcalcs", "isr matrix has wrong shape", yourfault);
    if (t.nrow > maxavr)
      IO::ERROREXIT("rockcalcs", "too many reactions in isr" + ZQUTE1::MAXSTR(maxavr), yourfault);
    NR = t.nrow > 0 ? t.nrow : 0;
    for (long i = 1; i <= NCV; ++i)
      if (t.name[i] != NAME[i]) IO::ERROREXIT("rockcalcs", "setisr phases do not match", yourfault);
    for (long i = 1; i <= NR; ++i) {
      for (long j = 1; j <= NCV; ++j) (*R)(i, j) = t.row(i, j);
      for (long k = 1; k <= NUV; ++k) {
        long s = 0;
        for (long j = 1; j <= NCV; ++j) s += static_cast<long>((*C)(k, j)) * (*R)(i, j);
        if (s != 0) IO::ERROREXIT("rockcalcs", "setisr reaction doesn't balance", yourfault);
      }
    }
    // An end-member of a reaction without a positive activity stops the run
    // here rather than leave its term out of ln K.
    ZQCALC2::CALCLNK();
    IO::PUTSTR(1, "using independent set of reactions (from script)", 1, CHANNEL::TERMLOG);
  }

  static void maxsd() {
    SDAVVMAX = 0;
    const longint mask = CHANNEL::TERMSUMLOG;
    if (AVMODE == avtype::avtmode) {
      IO::PROMPTCONTROL("use max sd(T) in script", CONTROLJX.maxsdt);
      if (CONTROLJX.maxsdt == yes) {
        SDAVVMAX = CONTROLJX.maxsdtvalue;
        IO::PUTSTR(0, "max allowed sd(T): " + IO::INT2STR(SDAVVMAX) + macroman::degree_s + "C (from script)", 1,
                   CHANNEL::TERMLOG);
        return;
      }
      IO::PROMPTREAL("max allowed sd(T)", SDAVVMAX);
      if (SDAVVMAX > SDTMAX) {
        SDAVVMAX = SDTMAX;
        IO::PUTSTR(0, std::string("max sd(T) reset to 500") + macroman::degree_s + "C", 1, mask);
      } else if (SDAVVMAX < SDTMIN) {
        SDAVVMAX = SDTMIN;
        IO::PUTSTR(0, std::string("max sd(T) reset to 20") + macroman::degree_s + "C", 1, mask);
      }
      return;
    }
    IO::PROMPTCONTROL("use max sd(P) in script", CONTROLJX.maxsdp);
    if (CONTROLJX.maxsdp == yes) {
      SDAVVMAX = CONTROLJX.maxsdpvalue;
      IO::PUTSTR(0, "max allowed sd(P): " + IO::REAL2STR(SDAVVMAX, 1, true) + " kbar (from script)", 1,
                 CHANNEL::TERMLOG);
      return;
    }
    IO::PROMPTREAL("max allowed sd(P)", SDAVVMAX);
    if (SDAVVMAX > SDPMAX) {
      SDAVVMAX = SDPMAX;
      IO::PUTSTR(0, "max sd(P) reset to 20 kbar", 1, mask);
    } else if (SDAVVMAX < SDPMIN) {
      SDAVVMAX = SDPMIN;
      IO::PUTSTR(0, "max sd(P) reset to 0.05 kbar", 1, mask);
    }
  }

  // The block is read back as words, so each column is wide enough to keep
  // a blank before its widest entry; it stays 5 wide where that is enough.
  static void writeisr() {
    const longint mask = CHANNEL::LOG;
    farray<smallint, 1, maxem> width{"isr column widths"};
    for (long j = 1; j <= NCV; ++j) {
      std::size_t widest = NAME[j].size();
      for (long i = 1; i <= NR; ++i) widest = std::max(widest, IO::INT2STR((*R)(i, j)).size());
      width[j] = static_cast<smallint>(std::max<std::size_t>(ISRCOLUMN, widest + 1));
    }
    IO::PUTSTR(0, "", 2, mask);
    std::string w = "isr     ";
    for (long j = 1; j <= NCV; ++j) IO::ADDNAME(NAME[j], width[j], w);
    IO::PUTSTR(0, w, 1, mask);
    for (long i = 1; i <= NR; ++i) {
      w = "isr     ";
      for (long j = 1; j <= NCV; ++j) IO::ADDINT((*R)(i, j), width[j], w);
      IO::PUTSTR(0, w, 1, mask);
    }
    IO::PUTSTR(0, "", 1, mask);
  }

  // One pass; true when the user wants another.
  bool pass(long number) {
    const longint mask = CHANNEL::TERMSUMLOG;
    // Each calculation judges the covariances read for its own reactions.
    RESETJUDGEDCOV();
    if (number > 1) {
      IO::PUTSTR(1, "**************************************", 2, mask);
      compare = CONTROLJX.calctypecode;
    }
    smallint code = CONTROLJX.calctypecode;
    if (code != 1 && code != 2) {
      IO::PUTSTR(1, "type of rock calculation: ", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "       1 : average P", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "       2 : average T", 1, CHANNEL::TERMLOG);
      IO::PROMPTINTEGER("code", code);
    }
    AVMODE = forced ? *forced : code == 2 ? avtype::avtmode : avtype::avpmode;
    if (number > 1 && NPSS > 0) restore();
    if (changed && !IO::QUERY("continue with/add to data changes in last calculation")) {
      changed = false;
      if (NPSS == 0) restore();
      NEX1 = 0;
      excluded.fill(false);
    }
    if (number > 1 || CONTROLJX.dataok != yes) {
      activitytable();
      if (!IO::QUERY("these data ok")) editdialogue();
    }
    ZQUTE2::POSITIONS();
    ZQREAD1::CHECKSDA();
    if (H2OPOS == 0 && CO2POS == 0) {
      FLUIDTYPE = ftype::absent;
    } else if (CONTROLJX.fluidpresent != yes && !IO::QUERY("rock was fluid-bearing")) {
      FLUIDTYPE = ftype::absent;
    }
    if (number == 1 || code != compare || !IO::QUERY("same PT window")) windows();
    ZQUTE1::PROMPTFLUID();
    if (CONTROLJX.isr == yes) {
      scriptreactions();
    } else {
      maxsd();
      bool ok = false;
      ZQRE::CALCRE(ok);
      IO::PROMPTCONTROL("show correlations in calculations", CONTROLJX.printcor);
    }
    if (CONTROLJX.pisr == yes) writeisr();
    if (NR == 0) {
      IO::PUTSTR(1, "** no reactions", 1, mask);
    } else {
      TABLE();
      SPECIALTABLES();
    }
    const bool ptkind = AVMODE != avtype::avpmode && AVMODE != avtype::avtmode;
    if (NR == 1) {
      IO::PUTSTR(1, "** insufficient reactions for average P/T calculations", 1, mask);
    } else if (NR == 2 && ptkind) {
      IO::PUTSTR(1, "** insufficient reactions for average PT calculations", 1, mask);
    } else if (AVMODE == avtype::avpmode) {
      AVERAGEP();
    } else if (AVMODE == avtype::avtmode) {
      AVERAGET();
    } else if (AVMODE == avtype::avptmode) {
      AVERAGEPT();
    }
    IO::PUTSTR(0, "", 2, CHANNEL::TERMLOG);
    return !IO::CONTROLIO.autoexit && IO::QUERY("more calculations with these data");
  }
};

void rockcalcsrun(std::optional<avtype> forced) {
  auto rc = std::make_unique<rockcalcs>();
  rc->forced = forced;
  // The exclusion list goes with the driver's marks, all clear on entry.
  NEX1 = 0;
  for (long i = 1; i <= NCV; ++i) {
    rc->savedactivity[i] = ACTIVITY[i];
    rc->savedsd[i] = SDACTIVITY[i];
  }
  ZQUTE2::DOFIGPT();
  long number = 1;
  while (rc->pass(number)) ++number;
}

}  // namespace

void ROCKCALCS() { rockcalcsrun(std::nullopt); }

void ROCKCALCSAS(avtype mode) { rockcalcsrun(mode); }

}  // namespace ZQAVPT
