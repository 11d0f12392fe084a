// The phases of a calculation: the choice from the "with" list, the fluid
// type, the phases in excess and the report of starting guesses.
#include <cmath>
#include <string>

#include "equilibria/zqread3.h"
#include "frame/bytes.h"
#include "frame/channels.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqute1.h"
#include "input/zqread1.h"

using namespace ZQGLOBAL;

namespace ZQREAD3 {

namespace {

constexpr char quote = '"';

// List A holds each phase's name as written in the a-x file, list B its
// short name; a phase that is not a solution has one name for both.
void phaselists(IO::strings& a, IO::strings& b) {
  for (long i = 1; i <= NPSS; ++i) {
    a[i] = (*PREC1)[i].longname;
    b[i] = (*PREC1)[i].name;
  }
  for (long i = 1; i <= NP0; ++i) a[NPSS + i] = b[NPSS + i] = (*PREC0)[i].name;
}

// The phase a word names, short names first; 0 when none.
smallint findphase(const sstring& w, const IO::strings& a, const IO::strings& b) {
  smallint k = 0;
  if (IO::MATCHSTRING(w, b, NP, k)) return k;
  if (IO::MATCHSTRING(w, a, NP, k)) return k;
  return 0;
}

// The buffer's entry of the "with" line: its del as an integer when it is
// one, else with one decimal.
std::string bufferentry(const sstring& name) {
  if (BUFFERDEL == 0) return name + "(buffer)";
  const extended nearest = std::round(BUFFERDEL);
  const std::string del =
      std::fabs(BUFFERDEL - nearest) < 0.0001L ? IO::INT2STR(nearest) : IO::REAL2STR(BUFFERDEL, 1, true);
  return name + "(buffer " + macroman::increment_s + "=" + del + ")";
}

// The "with" line, and the answer list it leaves.
void withline(IO::strings& answers, smallint& nanswers, const bemvector& drop) {
  nanswers = 0;
  if (CONTROLJX.batch == yes) {
    for (long i = 1; i <= NWHSTRINGS; ++i) answers[i] = WHSTRINGS[i];
    nanswers = NWHSTRINGS;
    return;
  }
  std::string& line = IO::PSTR;
  line = "with";
  if (CONTROLJX.someof) line += " someof";
  line += ": ";
  smallint kept = 0;
  for (long i = 1; i <= NP; ++i)
    if (!drop[i]) ++kept;
  smallint k = 0;
  for (long i = 1; i <= NP; ++i) {
    if (drop[i]) continue;
    ++k;
    std::string entry;
    if (i <= NPSS) {
      const ptype1& p = (*PREC1)[i];
      WHSTRINGS[k] = p.name;
      LONGWHSTRINGS[k] = p.longname;
      entry = p.name;
      if (p.coding == 2 && !p.fullname.empty()) entry += "(" + p.fullname + ")";
    } else {
      const sstring& name = (*PREC0)[i - NPSS].name;
      WHSTRINGS[k] = LONGWHSTRINGS[k] = name;
      entry = name == BUFFERC && !BUFFERC.empty() ? bufferentry(name) : name;
    }
    answers[k] = LONGWHSTRINGS[k];
    line += entry + (k < kept ? ", " : " ");
  }
  nanswers = kept;
  NWHSTRINGS = kept;
  IO::PUTSTR(1, line, 1, CHANNEL::TERMLOG);
}

// The answer list decides again which phases stay.
void answeredchoice(const IO::strings& answers, smallint n, bemvector& drop) {
  IO::strings a, b;
  phaselists(a, b);
  for (long i = 1; i <= NP; ++i) drop[i] = false;
  if (n == 0) return;
  const bool omit = answers[1] == "omit";
  if (!omit)
    for (long i = 1; i <= NP; ++i) drop[i] = true;
  for (long j = omit ? 2 : 1; j <= n; ++j) {
    const smallint k = findphase(answers[j], a, b);
    if (k == 0) IO::ERROREXIT("whichphases", answers[j] + (omit ? " not recognised 1" : " not recognised 2"), yourfault);
    drop[k] = omit;
  }
}

// Dropping the fluid drops pure H2O and CO2 with it; keeping pure
// H2O drops pure CO2.
void fluidcleanup(bemvector& drop) {
  IO::strings a, b;
  phaselists(a, b);
  smallint h = 0, c = 0;
  IO::MATCHSTRING("H2O", b, NP, h);
  IO::MATCHSTRING("CO2", b, NP, c);
  bool fluiddropped = false;
  for (long i = 1; i <= NPSS; ++i)
    if ((*PREC1)[i].isfluid && drop[i]) fluiddropped = true;
  if (fluiddropped) {
    if (c > 0) drop[c] = true;
    if (h > 0) drop[h] = true;
  }
  if (h > 0 && !drop[h] && c > 0) drop[c] = true;
}

}  // namespace

void SETFLUIDTYPE() {
  smallint h = 0, c = 0;
  for (long i = 1; i <= NP0; ++i) {
    if ((*PREC0)[i].emname == "H2O") h = static_cast<smallint>(i);
    if ((*PREC0)[i].emname == "CO2") c = static_cast<smallint>(i);
  }
  smallint nf = 0, na = 0, nboth = 0, nwater = 0, fluid = 0;
  for (long i = 1; i <= NPSS; ++i) {
    const ptype1& p = (*PREC1)[i];
    if (p.isfluid) {
      ++nf;
      fluid = static_cast<smallint>(i);
    }
    if (p.isaq) ++na;
    if (p.h2opos > 0 && p.co2pos > 0) ++nboth;
    if (p.h2opos > 0 && p.co2pos == 0) ++nwater;
  }
  const bool pure = h > 0 || c > 0;
  ftype& f = FLUIDTYPE;
  if (nf == 0 && na == 0) {
    if (!pure)
      f = ftype::absent;
    else if (h == 0)
      f = ftype::co2;
    else if (c == 0)
      f = ftype::h2o;
    else
      f = CALCMODE == calcmodetype::nlecalc ? ftype::notset : ftype::ih2oco2;
  } else if (na == 0) {
    if (pure)
      f = ftype::notset;
    else if (nf >= 2)
      f = ftype::several;
    else
      f = (*PREC1)[fluid].nprop == 2 && nboth == 1 ? ftype::h2oco2 : ftype::chos;
  } else if (nf == 0) {
    if (pure || (na < 2 && nboth != 1 && nwater != 1))
      f = ftype::notset;
    else if (na >= 2)
      f = ftype::several;
    else
      f = nboth == 1 ? ftype::h2oco2aq : ftype::h2oaq;
  } else {
    f = ftype::several;
  }

  if (f == ftype::notset) IO::ERROREXIT("whichphases", "facility not implemented yet (fluidtype not set)", yourfault);
  if (f == ftype::ih2oco2) IO::ERROREXIT("whichphases", "separate H2O and CO2 not handled in mode 1", yourfault);
  if (f == ftype::several) IO::ERROREXIT("whichphases", "several fluid and/or aq: choose just one", yourfault);
  if (f != ftype::h2oco2) EXBUFF = false;
  switch (f) {
    case ftype::h2o: IO::PUTSTR(0, "fluid is just H2O", 1, CHANNEL::TERMSUMLOG); break;
    case ftype::co2: IO::PUTSTR(0, "fluid is just CO2", 1, CHANNEL::TERMSUMLOG); break;
    case ftype::h2oco2: IO::PUTSTR(0, "fluid is H2O-CO2", 1, CHANNEL::TERMSUMLOG); break;
    case ftype::chos: IO::PUTSTR(0, "fluid is in CHOS", 1, CHANNEL::TERMSUMLOG); break;
    case ftype::h2oaq: IO::PUTSTR(0, "fluid is H2O-aqueous", 1, CHANNEL::TERMSUMLOG); break;
    case ftype::h2oco2aq: IO::PUTSTR(0, "fluid is H2O-CO2-aqueous", 1, CHANNEL::TERMSUMLOG); break;
    case ftype::absent: break;
    default: IO::ERROREXIT("fluidtype", "fluid cannot be handled", yourfault);
  }
}

void WHICHPHASES() {
  if (NPSS + NP0 != NP) IO::ERROREXIT("whichphases", "phases don't add up", myfault);
  IO::strings a, b;
  phaselists(a, b);
  bemvector drop{"whichphases drop"};
  for (long i = 1; i <= NP; ++i) drop[i] = true;
  for (long i = 1; i <= NWHSTRINGS; ++i) {
    smallint k = 0;
    if (IO::MATCHSTRING(LONGWHSTRINGS[i], a, NP, k)) {
      drop[k] = false;
      continue;
    }
    if (WHSTRINGS[i].empty()) IO::ERROREXIT("whichphases", "with phase is an empty string", myfault);
    IO::ERROREXIT("whichphases", std::string("with phase ") + quote + WHSTRINGS[i] + quote + " not recognised",
                  yourfault);
  }
  smallint kept = 0;
  for (long i = 1; i <= NP; ++i)
    if (!drop[i]) ++kept;
  if (kept != NWHSTRINGS) IO::ERROREXIT("whichphases", "with phase list: duplicate found", yourfault);

  IO::strings answers;
  smallint nanswers = 0;
  withline(answers, nanswers, drop);
  ZQREAD1::MAKENAME(drop);

  if (CONTROLJX.someof) {
    IO::PUTSTR(1, "there is a change of functionality with \"with someof\". Hitting return ", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "gives all the phases in the \"with someof\"; \"omit phase1 [phase2 ...] \"", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "omits these phase(s). (\"-\", \"+\" and \"=\" are no longer implemented)", 1, CHANNEL::TERMLOG);
    IO::PROMPTSTRINGS("choose phases", answers, nanswers);
  }
  answeredchoice(answers, nanswers, drop);
  fluidcleanup(drop);
  ZQREAD1::MAKENAME(drop);

  SETFLUIDTYPE();
  if (NCV > maxem) IO::ERROREXIT("whichphases", "too many end-members" + ZQUTE1::MAXSTR(maxem), yourfault);
  KNP = 0;
}

void PHASESINEXCESS() {
  NPINEX = NPMBP = NPINEX0 = 0;
  for (long i = 1; i <= maxss; ++i) PINEX[i] = PINEX0[i] = PMBP[i] = false;
  if (NP <= 1) return;
  IO::strings a, b;
  phaselists(a, b);

  IO::strings words;
  smallint n = 0;
  IO::PROMPTCONTROL("use in excess phases specified in scriptfile", CONTROLJX.inexcess);
  if (CONTROLJX.inexcess == yes) {
    for (long i = 1; i <= NEXCESSSTRINGS; ++i) words[i] = EXCESSSTRINGS[i];
    n = NEXCESSSTRINGS;
    if (n == 0 && NMC < 1) IO::PUTSTR(0, "no phases in excess (from script)", 1, CHANNEL::TERMSUMLOG);
  } else {
    std::string line;
    for (long i = 1; i <= NP; ++i) line += b[i] + "  ";
    IO::PUTSTR(0, line, 1, CHANNEL::TERMLOG);
    IO::PROMPTSTRINGS("in excess: names", words, n);
  }
  const smallint nexcess = n;
  if (CONTROLJX.tozero == yes)
    for (long i = 1; i <= NTOZEROSTRINGS && n < maxwords; ++i) words[++n] = TOZEROSTRINGS[i];

  // The line names the phases the words found, in list order: an unknown
  // word is passed over here as it is when flagging.
  std::string found;
  for (long j = 1; j <= n; ++j) {
    const smallint k = findphase(words[j], a, b);
    if (k == 0) continue;
    // A phase both in excess and taken to zero is named once.
    if (!PINEX[k]) found += " " + words[j];
    PINEX[k] = true;
    if (j > nexcess) PINEX0[k] = true;
  }
  for (long i = 1; i <= NP; ++i) {
    if (PINEX[i]) ++NPINEX;
    if (PINEX0[i]) ++NPINEX0;
    PMBP[i] = PINEX[i];
  }
  NPMBP = NPINEX;
  if (NPINEX > 0) IO::PUTSTR(0, "in excess:" + found, 1, CHANNEL::TERMLOG);

  bool fluidzero = false;
  for (long i = 1; i <= NP; ++i)
    if (PINEX0[i] && (b[i] == "H2O" || b[i] == "CO2")) fluidzero = true;
  if (fluidzero) return;
  for (long i = 1; i <= NP; ++i) {
    if (PINEX[i] && (b[i] == "H2O" || b[i] == "CO2")) {
      PINEX0[i] = true;
      ++NPINEX0;
      return;
    }
  }
}

namespace {

bool allcoding2() {
  for (long i = 1; i <= NPSS; ++i)
    if ((*PREC1)[i].coding != 2) return false;
  return true;
}

bool guessfromscript(long i) { return (*PREC1)[i].scriptguess || (*PREC1)[i].coding == 2; }

}  // namespace

void XYZGUESSINFO() {
  if (allcoding2()) return;
  IO::SETTINGSHEAD("xyz starting guesses of phases", CHANNEL::TERMLOG);
  std::string given, other;
  for (long i = 1; i <= NPSS; ++i) (guessfromscript(i) ? given : other) += " " + (*PREC1)[i].name;
  IO::PUTSTR(0, "in the scriptfile:" + (given.empty() ? std::string("none") : given) +
                    "; not in the scriptfile:" + (other.empty() ? std::string(" none") : other),
             1, CHANNEL::TERMLOG);
}

void XYZGUESSWARNING() {
  if (allcoding2()) return;
  for (long i = 1; i <= NPSS; ++i)
    if (guessfromscript(i)) return;
  IO::eestrtype& e = IO::EESTR;
  e[1] = "your calculation relied just on starting guesses provided in the axfile for the phases. These may well ";
  e[2] = "not be optimum for what you want to do - good starting guesses may be critical for success. Starting "
         "guesses in ";
  e[3] = "script-form can be found in the logfile for equilibria that have calculated successfully. Copy the "
         "\"xyzguess\" ";
  e[4] = "block from the logfile and paste into your scriptfile.";
  e[5].clear();
  IO::FORMATTEXT(e);
}

}  // namespace ZQREAD3
