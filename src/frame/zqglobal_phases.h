// The phase records of the a-x models, the a-x expressions they hold, the
// state the a-x file reader leaves for the rest of the run, and the tables of
// the fluid species. Included by zqglobal.h, whose table sizes it uses:
// include zqglobal.h rather than this header.
#pragma once

#include <string>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"

constexpr int maxterms = 24;       // terms of one a-x expression
constexpr int maxfactors = 4;      // factors of one term
constexpr int maxparts = 12;       // variable parts of one factor
constexpr int maxsf = 30;          // site fractions of a phase
constexpr int maxw = 105;          // interaction parameters of a phase, 15 * 14 / 2
constexpr int maxmake = 6;         // constituents of a make recipe
constexpr int maxinfo = 100;       // verbatim lines of a phase
constexpr int maxsamecoding = 6;   // same-coded names kept in a phase record
constexpr int maxxyznames = 26;    // names of the analysis expressions of a variable
constexpr int maxnvarlim = 22;     // variable-limit rows of a phase
constexpr int maxheader = 600;     // header lines of the a-x file
constexpr int maxbuffers = 5;      // buffer phases
constexpr int maxeq = 90;          // unknowns of the equilibrium equations
constexpr int maxfluid = 12;       // fluid species slots
constexpr int nsplist = 34;        // species of the program's list

using eqvector = farray<extended, 1, maxeq>;
using bemvector = farray<bool, 1, maxem>;
using tdvector = farray<extended, 1, maxtd>;
using icvector = farray<smallint, 1, maxcomp>;

// What stops a Newton step at the end of an unknown's range.
enum class acctype { windowlimit, xaccessible, paccessible, mulimit, inaccessible };
// The non-ideal mixing model of a solution phase.
enum class axtype { ideal, symmetric, vanlaar };
// The order-disorder state in which a constituent of a make recipe is taken.
enum class makeactiontype { equilibrium, disordered, ordered, notrelevant, notspecified };
// The kind of fluid of a calculation.
enum class ftype { notset, several, absent, h2o, co2, h2oco2, ih2oco2, chos, h2oaq, h2oco2aq };

// ---------------------------------------------------------------- expressions

// One linear factor: cn/cd + sum over k of (an[k]/ad[k]) * x[v[k]].
struct xtermtype {
  smallint cn = 0;
  smallint cd = 1;
  smallint m = 0;
  farray<smallint, 1, maxparts> an{"xterm an"};
  farray<smallint, 1, maxparts> ad{"xterm ad"};
  farray<smallint, 1, maxparts> v{"xterm v"};
};

// One term: coef times the product of its factors.
struct sxtermtype {
  extended coef = 0;
  smallint nfactors = 0;
  farray<xtermtype, 1, maxfactors> factors{"sxterm factors"};
};

// An a-x expression: the sum of its terms; no terms is identically zero.
struct termtype {
  smallint nterms = 0;
  farray<sxtermtype, 1, maxterms> terms{"term terms"};
};

// One expression per compositional variable: derivative tables.
using difftermtype = farray<termtype, 1, maxssem>;

// The short names of a phase's variables as printed.
using nametype = farray<str255, 1, maxssem>;

// ---------------------------------------------------------------- records

using makestype = farray<sstring, 1, maxmake>;
using makeitype = farray<smallint, 1, maxmake>;
using makeatype = farray<makeactiontype, 1, maxmake>;
using varlimtype = fmatrix<smallint, 1, maxnvarlim, 1, maxssem>;

// One factor of an ideal-mixing term: site fraction sfindex to the power
// powern/powerd.
struct sftermtype {
  smallint sfindex = 0;
  smallint powern = 0;
  smallint powerd = 1;
};

// One interaction pair: parameter wpar between end-members wj < wk.
struct wpairtype {
  smallint wpar = 0;
  smallint wj = 0;
  smallint wk = 0;
};

// One end-member of a solution phase.
struct emtype {
  sstring name;
  extended norm = 0;
  bool normrational = false;
  smallint nsfterm = 0;
  farray<sftermtype, 1, maxssem> sfterm{"em sfterm"};
  smallint nmake = 0;
  smallint makediv = 0;
  makestype makename{"em makename"};
  makeitype makecoef{"em makecoef"};
  makeatype makeaction{"em makeaction"};
  makeitype makepos{"em makepos"};
  smallint checkdiv = 0;
  farray<smallint, 1, maxssem> checkcoef{"em checkcoef"};
  icvector comp{"em comp"};
  extended formulasize = 0;
  smallint nsite = 1;  // site multiplicity: normalises the residuals of the reactions it takes part in
  extended dqfa = 0, dqfb = 0, dqfc = 0;
  smallint dqfcode = -1;
  farray<bool, 1, 3> dqffit{"em dqffit"};
  tdvector td{"em td"};
  emvector covrow{"em covrow"};
  smallint maxpower = 1;
  smallint fluidcode = 0;
  bool exclude = false;
};

// One compositional variable of a solution phase.
struct xvartype {
  sstring name;
  sstring readname;
  extended guess = 0;
  extended sd = 0;
  termtype numerator;
  termtype denominator;
  smallint nnames = 0;
  smallint nnumnames = 0, ndennames = 0;
  farray<sstring, 1, maxxyznames> names{"xvar names"};
  farray<sstring, 1, maxxyznames> numnames{"xvar numnames"};
  farray<sstring, 1, maxxyznames> dennames{"xvar dennames"};
  icvector numcomp{"xvar numcomp"};
  icvector dencomp{"xvar dencomp"};
  extended low = 0, high = 0;
  extended low0 = 0, high0 = 0;
  bool isorder = false;
  extended xfaca = 0, xfacb = 0, typx = 0;
  acctype lowkind = acctype::xaccessible, highkind = acctype::xaccessible;
  bool isset = false;
  smallint setindex = 0;
};

// One phase that is not a solution: a pure phase, a buffer or a phase of
// fixed activity.
struct ptype0 {
  sstring name;
  sstring longname;
  bool chosen = false;
  sstring emname;
  bool modeset = false;
  smallint modelist = 0;
  icvector comp{"p0 comp"};
  extended formulasize = 0;
  smallint dqfcode = -1;
  extended dqfa = 0, dqfb = 0, dqfc = 0;
  tdvector td{"p0 td"};
  extended activity = 1;
  extended sdactivity = 0;
  smallint nmake = 0;
  smallint makediv = 0;
  makestype makename{"p0 makename"};
  makeitype makecoef{"p0 makecoef"};
  makeatype makeaction{"p0 makeaction"};
  makeitype makepos{"p0 makepos"};
  emvector covrow{"p0 covrow"};
  extended modefaca = 0, modefacb = 0;
  extended modeguess = -1;
  bool hasrgb = false;
  farray<smallint, 1, 3> rgb{"p0 rgb"};
};

// One solution phase as read from the a-x file. Some 750 kB: it lives only
// in the heap table PREC1, never on the stack.
struct ptype1 {
  sstring name;
  sstring longname;
  sstring fullname;
  bool chosen = false;
  sstring suffix;
  sstring sameasname, sameaslong;
  sstring sameasfull;
  farray<sstring, 1, maxsamecoding> samecodingnames{"p1 samecodingnames"};
  farray<sstring, 1, maxsamecoding> samecodingfull{"p1 samecodingfull"};
  smallint nsamecoding = 0;
  smallint coding = 0;
  extended noxygens = 0;
  smallint nprop = 0;
  bool modeset = false;
  smallint modelist = 0;
  smallint ninfo = 0;
  farray<cstring, 1, maxinfo> info{"p1 info"};
  bool noverbatim = true;
  farray<emtype, 1, maxssem> em{"p1 em"};
  axtype model = axtype::ideal;
  smallint nwpair = 0;
  farray<wpairtype, 1, maxw> wpair{"p1 wpair"};
  farray<termtype, 1, maxssem> prop{"p1 prop"};
  smallint nw = 0;
  farray<extended, 1, maxw> wa{"p1 wa"}, wb{"p1 wb"}, wc{"p1 wc"};
  farray<sstring, 1, maxw> wname{"p1 wname"};
  farray<extended, 1, maxw> wsd{"p1 wsd"};
  farray<bool, 1, maxw> wsddefault{"p1 wsddefault"};
  farray<extended, 1, maxssem> alphaa{"p1 alphaa"}, alphab{"p1 alphab"}, alphac{"p1 alphac"};
  smallint nsf = 0;
  farray<sstring, 1, maxsf> sfname{"p1 sfname"};
  farray<termtype, 1, maxsf> sf{"p1 sf"};
  smallint nvar = 0;
  farray<xvartype, 1, maxssem> xvar{"p1 xvar"};
  smallint nzeroguess = 0;
  farray<str255, 1, maxssem> zeroguessname{"p1 zeroguessname"};
  smallint nvarlim = 0;
  varlimtype varlimn{"p1 varlimn"}, varlimd{"p1 varlimd"};
  farray<bool, 1, maxsf> sfsimple{"p1 sfsimple"};
  bool allsfsimple = false;
  extended modefaca = 0, modefacb = 0, modeguess = -1;
  bool boileddown = false;
  smallint nprop0 = 0, nvar0 = 0;
  farray<bool, 1, maxssem> emkept{"p1 emkept"}, varkept{"p1 varkept"};
  farray<sstring, 1, maxssem> varname0{"p1 varname0"};
  bool hasorder = false;
  bool isfluid = false, isaq = false;
  smallint h2opos = 0, co2pos = 0;
  bool hasrgb = false;
  farray<smallint, 1, 3> rgb{"p1 rgb"};
  bool scriptguess = false;
};

namespace ZQGLOBAL {

// What the a-x file reader leaves besides the phase tables.
extern smallint NHEADER;
extern farray<std::string, 1, maxheader> HEADER;  // lines of at most 120 characters
extern smallint NBUFFER, BUFFERK;  // buffers in the a-x file, the one chosen (a-x reader, its set-up)
extern farray<sstring, 1, maxbuffers> BUFFERNAME;  // names of the buffers (a-x reader)
extern str255 HEAD1, HEAD2, HEAD3;  // the a-x file's title lines (a-x reader)
extern str255 AXFILENAME;  // name of the a-x file read (a-x reader)
extern extended DEFSDW0P, SDWP, ARB, MINSDLNA;  // activity-sd parameters (a-x reader, SETSDAPARAMS)
// Weight of the composition-dependent part of the activity-sd floor before
// SDWP takes it (SETSDAPARAMS).
extern extended LSDWP;

// The fluid species: names (the position is the species code), critical
// constants for the corresponding-states treatment, interaction energies.
extern ftype FLUIDTYPE;  // kind of fluid of the calculation (a-x set-up)
extern smallint NFLUIDNAME;  // fluid species known (the species set-up below)
extern IO::strings FLUIDNAME;  // species names, position = code (the species set-up below)
extern farray<extended, 1, maxfluid> CSP, CST;  // critical pressure (kbar) and temperature (K) of each species (the species set-up below)
extern fmatrix<extended, 1, maxfluid, 1, maxfluid> AIJ;  // interaction energies of species pairs (the species set-up below)
extern const farray<sstring, 1, nsplist> SPLIST;  // species names a fluid phase may carry (fixed)

// Puts the eight species, their critical constants and interaction energies
// in place and leaves FLUIDTYPE unset; the a-x reader calls it for each file.
void SETFLUIDTABLES();

}  // namespace ZQGLOBAL
