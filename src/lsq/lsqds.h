// Least-squares refinement of the data set (calc mode 9): the problem's
// tables and counters, the end-member file reader, the writers of the new
// data set and of the new-format end-member file, and the driver.
#pragma once

#include <string>
#include <vector>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal_model.h"
#include "frame/zqglobal_phases.h"

constexpr int maxrows = 1200;     // rows of the problem (experiment records among them)
constexpr int maxoxcal = 200;     // oxide-calorimetry data
constexpr int maxbrackets = 270;  // brackets of one experiment record
constexpr int maxrxterms = 15;    // terms of one reaction, entries of an experiment's end-member list
constexpr int maxiterations = 20; // iterations of one fit
constexpr int workslots = 4;      // phase slots ahead of the a-x file's, for one experiment's phases

using ilvector = farray<smallint, 1, maxrxterms>;
using xlvector = farray<extended, 1, maxrxterms>;

// One oxide-calorimetry datum.
struct oxcalrec {
  bool use = false;
  smallint nterm = 0;
  ilvector coef{"oxcal coef"};
  ilvector em{"oxcal em"};
  extended hobs = 0, sdobs = 0, t = 0, h298 = 0, hcalc = 0, oxspare = 0;
};

// One bracket (half-bracket) of an experiment.
struct brrec {
  xlvector xyz{"bracket xyz"};
  xlvector act{"bracket act"};
  bool pairp = false, pairt = false, pairall = false, dir = false;
  extended p = 0, t = 0, xco2 = 0;
  extended lnk = 0, dh = 0, sd2 = 0;
  extended tcalc = 0, pcalc = 0, sdtcalc = 0, sdpcalc = 0;
  // The bracket's place as read: one half of the experiment in every record
  // of its equilibrium, wherever a reversal has moved it (the reader).
  smallint id = 0;
  // The bracket's code was 1 as read: a reversal turns dir, never this (the reader).
  bool upasread = false;
};

// One reaction of an experimental equilibrium with its brackets.
struct xprec {
  bool use = false;
  smallint row = 0;
  bool hasphase = false, unknowncomps = false, xyzguess = false, show = false, flag8 = false, reversed = false,
       grouped = false;
  smallint nreac = 0, ireac = 0, kind = 0, nrx = 0;
  ilvector rxem{"xp rxem"};
  ilvector rxcoef{"xp rxcoef"};
  ilvector rxpos{"xp rxpos"};
  smallint nem = 0;
  IO::strings emname{"xp emname"};
  xlvector emact{"xp emact"};
  ilvector emds{"xp emds"};
  ilvector emphase{"xp emphase"};
  ilvector emno{"xp emno"};
  extended rfac = 0;
  str255 rxtext, label;
  bool nofluid = false, crdhydrous = false;
  smallint nbr = 0;
  farray<brrec, 1, maxbrackets> br{"xp br"};
  extended ch = 0, sdch = 0;
  smallint hcase = 0;
  extended uh = 0, ds0 = 0, hlow = 0, hhigh = 0, sdrow = 0, dsratio = 0, hval = 0, rval = 0, wsum = 0;
};

using oxcaltype = farray<oxcalrec, 1, maxoxcal>;
using yvector = farray<extended, 1, maxrows>;
using xxmatrix = fmatrix<extended, 1, maxrows, 1, maxdsem>;
using ixmatrix = fmatrix<smallint, 1, maxrows, 1, maxdsem>;
using bxmatrix = fmatrix<bool, 1, maxrows, 1, maxdsem>;
using rowivector = farray<smallint, 1, maxrows>;

namespace LSQDS {

// ---------------------------------------------------------------- state
// The heap tables of the mode; INTRO makes them (zero-filled), they last the run.
extern oxcaltype* OXCAL;  // oxide-calorimetry data (experiments reader)
// Experiment records, grown as they are read up to maxrows (experiments reader).
extern std::vector<xprec>* XPW;
extern yvector* Y;      // observation of each row (readers, assembly)
extern yvector* YY;     // work vector of the solvers
extern yvector* THETA;  // fitted enthalpy of each end-member (solvers)
extern xxmatrix* XX;    // design matrix; the covariance of the fit after a solve (assembly, solvers)
extern yvector* HAT;    // leverage of each row (solvers)
extern ixmatrix* LHS;   // integer coefficient of each end-member in each row (readers, assembly)
extern bxmatrix* B;     // an end-member occurs in a row (readers, assembly)

extern yvector SDYBR;    // sd of each row's observation (readers, assembly)
extern rowivector TBAR;  // mean bracket temperature of each experiment row (assembly)
extern smallint NTOT;    // end-members of the end-member file (READTH)
extern smallint NEXP, NEC, NED, NEO, NEXPT;  // rows in all and where their blocks end (readers)
extern smallint NXPW, NOXCAL;  // experiment records and oxide-calorimetry data (experiments reader)
extern extended SIG2;    // variance of unit weight of the last solve (solvers)
extern smallint ITERNO;  // the iteration under way (DOLSQDS)
extern smallint IO2, IS2;  // positions of O2 and S2 in the current experiment's end-member list (FINDPOSI)
extern IO::strings SSNAME;  // phase names: four working slots "blah", then the a-x file's (READAX)
extern smallint NPDS;       // phases in SSNAME (READAX)
// The row of each end-member's direct-calorimetry datum and of each oxide
// datum, 0 without one (experiments reader), for the leverages printed.
extern farray<smallint, 1, maxdsem> CALROW;
extern farray<smallint, 1, maxoxcal> OXROW;
extern IO::textfile ATEXT1;  // the file a writer of this mode is making (WRITETHERMODATA, WRITEEMDATA)
extern bool ATEXT1OPEN;      // ATEXT1 is open (its writers)

// The state above but the heap tables, as a fresh run has it.
void RESETLSQDS();

// ---------------------------------------------------------------- entry points
// The heap tables and the least-squares preferences, before the files are named.
void INTRO();
// The whole calculation of calc mode 9.
void DOLSQDS();
// At the end of the run; nothing is left to do.
void DSCLEANUP();

// ---------------------------------------------------------------- input files
// Free-format reading of the mode's input files on IO::DATA: a number skips
// blanks and line ends and ends at the first character that cannot continue
// it; the rest of a line is read raw without its line end; next line moves
// to the start of the following line. The context names what is read in
// the fatal messages (usually the end-member).
void READERSTART();
// A real; fatal in where, naming field and context, when none stands there.
extended READREAL(const std::string& where, const std::string& field, const std::string& context);
// An integer of smallint range, likewise.
smallint READINT(const std::string& where, const std::string& field, const std::string& context);
// The rest of the current line, raw; nothing is consumed beyond it.
str255 READREST();
// Moves to the start of the next line.
void READNEXTLINE();
// The next whole line (from the current place); false at the end of the file.
bool READWHOLELINE(str255& line);

// The end-member file on IO::DATA into TDA, PHNAMES, NTOT and DSMODE.
void READTH();

// A line of words: empty lines and lines whose first word begins with "%"
// are passed over, and a word beginning with "%" ends the line; false at
// the end of the file.
bool READTAKENLINE(IO::strings& w, smallint& n);
// The words of one line, without a comment.
smallint LINEWORDS(const str255& text, IO::strings& w);

// Every input of a fit: the end-member file, the a-x models and the
// experiments file with its calorimetry rows and experiment records.
void READXY();
// The a-x models of the least squares, behind the four working slots.
void READAX();
// The enthalpy that brings a measurement at t (K) to 298.15 K, per unit
// coefficient of end-member e: heat content and order-disorder.
extended HEATCONTENT(const tdrec& e, extended t);
// Section 3 of the experiments file into XPW and NXPW.
void READEXPERIMENTS();

// Position of name (blanks at either end ignored) among PHNAMES[1..NTP];
// absent: fatal when asked, else index 0 and false.
bool POSINPHNAME(const sstring& name, smallint& index, bool fatal);
// The end-members the least squares treats apart, known by their names: the
// fluid's, cordierite's and the gases whose activity adds no width.
enum class specialem { none, h2o, co2, crd, fcrd, o2, s2 };
// Which of them data-set end-member e is (none for e <= 0).
specialem SPECIALEM(smallint e);
// H2OPOS, CO2POS, CRDPOS, FCRDPOS, IO2 and IS2 from the end-members of list[1..n].
void FINDPOSI(const ilvector& list, smallint n);

// ---------------------------------------------------------------- brackets
// Experiment record k of XPW (1-based).
xprec& XP(smallint k);
// Reversal pairs among consecutive brackets of record i; the results
// table's variant also marks brackets at one P, T and x(CO2).
void SAMEPTX(smallint i);
void SAMEPTXW(smallint i);
// The reaction's sum of coefficient times G at p, t, xco2.
extended CALC(smallint k, extended p, extended t, extended xco2);
// The reaction's dmu at bracket b and, when wanted, its P and T derivatives.
void DMU(smallint k, smallint b, extended& dmu, bool wantp, extended& dmudp, bool wantt, extended& dmudt);
// T at the bracket's P, and P at its T, where dmu is 0; 0 when not found.
void CALCT(smallint k, smallint b, extended& t, extended& sdt);
void CALCP(smallint k, smallint b, extended& p, extended& sdp);
// Each bracket's enthalpy limit and width, and the experiment's limits.
void CALCHBR(smallint k);
void CALCHLIMS(smallint k);

// ---------------------------------------------------------------- the fit
// Activities of the end-members of a-x phase ph at compositional variables x.
void OCALCA(smallint ph, eqvector x, extended p, extended t, eqvector& a);
// Every experiment brought up to date with the current enthalpies and made
// into rows NEO+1..NEXP of the problem.
void ASSEMBLY(smallint iteration);
// The weighted least-squares solution of rows 1..NEXP over end-members
// 1..NTP into THETA, SIG2, the covariance in XX and the leverages in HAT:
// by Householder QR, or by the normal equations' Cholesky factor.
void QR();
void CHOLESKI();

// ---------------------------------------------------------------- experiments with solution phases
// The phase tables of the calculation for experiment k from the current
// end-member data, with its composition matrix and made end-members.
void FILLPREC(smallint k);
// At bracket b of experiment k: the state of order, the activities from
// the a-x models and of made end-members' constituents, copied to the
// equilibrium's further reactions.
void CALCA(smallint k, smallint b);
// The equilibrium of the group starting at record ixp solved at its
// brackets: kind 2 for P or T, kind 3 for the compositions alone.
void CALCASS(smallint ixp, smallint kind, bool print);
// The table row of bracket k from the solution in X.
void PRINTASS(smallint ixp, smallint k, smallint kind);
extern bool NOTCONVSEEN;  // this CALCASS counted an experiment not converged
// The place in record j of the bracket that stands at k in record i: the
// reactions of one equilibrium share their brackets, but each may have had
// its reversal pairs exchanged on its own, so a bracket is known by its
// place as read, never by its conditions (two halves may share them).
smallint SAMEBRACKETAT(smallint j, smallint i, smallint k);
brrec& SAMEBRACKET(smallint j, smallint i, smallint k);

// ---------------------------------------------------------------- results
// The results tables; the new data-set file when nothing failed to converge.
void OUTXY();
// The table of experiment record ixp.
void WRITEFULL(smallint ixp);
extern smallint NOTCONV;  // unknown-composition experiments not converged in this results pass
extern str255 XPLABEL;    // the phase list and label of the group being printed (OUTXY)

// ---------------------------------------------------------------- text and files
// The text of the reaction with terms 1..n: "a + b = 2c". An end-member
// written in several terms stands once, with their coefficients added.
str255 MAKERELINE(const ilvector& coef, const ilvector& em, smallint n);
// The coefficient of end-member em[k] in the reaction with terms 1..n: the
// sum over every term of that end-member.
smallint NETCOEF(const ilvector& coef, const ilvector& em, smallint n, smallint k);
// sum (the coefficient of term k's end-member, or of a term joined from
// several) when a coefficient holds it and its negation; else a fatal stop
// naming the end-member and the reaction, what it belongs to and its terms.
smallint COEFSUM(long sum, const ilvector& coef, const ilvector& em, smallint n, smallint k,
                 const std::string& what);
// Every end-member's coefficients over terms 1..n summed through COEFSUM.
void CHECKCOEFSUMS(const ilvector& coef, const ilvector& em, smallint n, const std::string& what);
// Term k is the first of the reaction's terms that name its end-member.
bool FIRSTTERMOF(const ilvector& em, smallint k);
// A stored comment made ready to follow "% ".
str255 TSTR(const std::string& s);
// The new data-set file, named by IO::NEWDATASETNAME.
void WRITETHERMODATA();
// The new-format end-member file, named by IO::NEWEMNAME.
void WRITEEMDATA();
// LaTeX tables of the data set, to the log; nothing calls it.
void LATEXOUTPUT();

}  // namespace LSQDS
