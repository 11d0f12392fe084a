// Run set-up: the calc mode, the work arrays and constants, the run's files;
// the calculation windows with their checks and value lists, the diagram
// type and the fixed fluid.
#pragma once

#include <string>

#include "frame/bytes.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQUTE1 {

smallint GETCALCMODE();
void SETUP();
void CLEANUP();
// Start-up's files: OPENSCRIPT opens the script (asking its suffix when
// the preferences leave it open) and asks the data set of calc modes 1-3;
// MAKEOUTPUTS checks every name the run reads against the outputs and makes
// them (calc mode 9 does all of it there). STARTOUT is the two in turn;
// between them a caller may ask names that only it knows the run will read.
void OPENSCRIPT();
void MAKEOUTPUTS();
void STARTOUT();
// The value word of the open script's last line of keyword whose word takes
// accepts, or empty; the script is left at its start.
sstring SCRIPTWORD(const sstring& keyword, bool (*takes)(const sstring&));
// Until MAKEOUTPUTS has checked the names of the run's files, the log is
// held in memory, and a run that ends sooner writes it out. GUARDLOG,
// called then, marks it when it is a file the run reads as far as the run
// has named them (the preferences, answers, the script and the a-x file it
// names, calc mode 9's own preferences, the drawing's input), under that
// name or through a link, so that it is given up rather than written over
// that file.
void GUARDLOG();

// ---------------------------------------------------------------- windows
bool INRANGE(extended v, findtype kind);
void PROMPTRANGE(const std::string& what, extended& low, extended& high);
// Repair a P or T window against the overall window, saying what was done.
void POK(extended& low, extended& high, xOKtype how);
void TOK(extended& low, extended& high, xOKtype how);
// Check a window against the variable's absolute limits and ask for it
// again until it passes (five checks at most).
void POK3(extended& low, extended& high, xOKtype how);
void TOK3(extended& low, extended& high, xOKtype how);
void XCO2OK(extended& low, extended& high, xOKtype how);
void XH2OOK(extended& low, extended& high, xOKtype how);
void AOK(extended& low, extended& high, xOKtype how);
void LNAOK(extended& low, extended& high, xOKtype how);
void MUOK(extended& low, extended& high, xOKtype how);
std::string MAXSTR(smallint n);
// A temperature (degrees C) or pressure (kbar) that a user typed or gave,
// refused naming it when no calculation can take it: a T at or below
// absolute zero; a P at or below 0 kbar, or below the lowest pressure of
// any window once "negp" has lowered that under 0. where is the routine
// word of the stop, what the value as the user knows it ("T for a-x"). A
// stop is the frame's text, so its degree sign is the program's own byte.
void PHYSICALT(extended celsius, const std::string& what, const std::string& where);
void PHYSICALP(extended kbar, const std::string& what, const std::string& where);
// PHYSICALT or PHYSICALP, as the value is a temperature or a pressure.
void PHYSICALPT(bool temperature, extended value, const std::string& what, const std::string& where);
// The T (or P) window a calculation takes, TLOW..THIGH (PLOW..PHIGH), after
// POK/TOK have repaired it against the overall window: each end refused as
// PHYSICALT/PHYSICALP would ("T low", "T high").
void PHYSICALWINDOW(bool temperature, const std::string& where);

// ---------------------------------------------------------------- value lists
void LISTP();
void LISTT();
void LISTP3();
void LISTT3();
void LISTXCO2();
void LISTA(smallint k, extended low, extended high);
void LISTLNA(smallint k, extended low, extended high);
void LISTMU(smallint k, extended low, extended high);

// ---------------------------------------------------------------- diagram, fluid
void WHICHDIAGRAMTYPE();
void PROMPTFLUID();
void FLUIDSTRING(std::string& line);

// ---------------------------------------------------------------- a-x expressions
// The value of term at x, variable v of the phase being x[v + offset - 1].
extended SUBSTERM(const termtype& term, const eqvector& x, smallint offset);
// The composition comp[1..NUV] (per formula unit, over COMPDIV) of solution
// phase p at its variables x[1..]: its end-members' compositions weighted
// by their proportions.
void PHASECOMPOSITION(const ptype1& p, const eqvector& x, cvector& comp);
// name = the expression in readable algebra, on the channels of mask.
void WRITETERM(const termtype& term, const sstring& name, smallint phase, longint mask);
// True when every site fraction of the phase is positive at its guesses.
bool XYZLEGAL(smallint phase);
// The short names of the phase's variables: x(phase) gives x, p(name) name.
void EXTRACTVNAME(smallint phase, nametype& names);
// One line of every phase, the unselected ones in parentheses.
void PRINTPHASES(const bemvector& selected);

}  // namespace ZQUTE1
