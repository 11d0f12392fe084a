// Shared state of the script units: what the script reader fills besides
// CONTROLJX, read by every calc mode afterwards.
#pragma once

#include <string>

#include "frame/controljx.h"
#include "frame/farray.h"
#include "frame/types.h"
#include "frame/zqglobal_windows.h"

constexpr int maxbatch = 99;        // batch items
constexpr int maxbatchpt = 10;      // P-T points of one batch item
constexpr int maxfilter = 30;       // filters of one P-T point
constexpr int maxbatchiso = 6;      // isopleth slots of one batch item
constexpr int maxbxyz = 200;        // guesses of one guess block
constexpr int maxbreq = 99;         // item numbers of one requirement
constexpr int maxbatchswitch = 100; // batch item numbers a requirement may switch
constexpr int maxmc = 150;          // Monte Carlo items, ranges, functions, bulks
constexpr int maxmcnames = 20;      // names of one Monte Carlo item
constexpr int maxmcterms = 20;      // terms of one Monte Carlo function
constexpr int maxphaselist = 400;   // names of the "with" list
constexpr int maxexcess = 10;       // phases in excess, phases taken to zero
constexpr int maxxyz = 200;         // starting guesses
constexpr int maxmodeguess = 88;    // mode guesses
constexpr int maxscgroups = 16;     // same-coding groups
constexpr int maxscnames = 8;       // names of one same-coding group
constexpr int maxrgb = 400;         // colour table entries
constexpr int maxconvliqrows = 15;
constexpr int maxconvliqcols = 20;
constexpr int maxrbi = 40;          // phase lines of an rbi block
constexpr int maxprojapex = 10;     // apices of the projection plane
constexpr int maxminerals = 12;     // minerals of a rock (utilities)
constexpr int maxmucalcs = 40;      // chemical-potential lines of "muval"
constexpr int maxideal = 4;         // ideal-analysis constraints of one mineral

// One filter of a P-T point of a batch item.
struct filtertype {
  sstring name;
  smallint code = 0;
  extended low = 0;
  extended high = 0;
};

// One batch item.
struct batchtype {
  farray<bool, 1, maxphaselist> phase{"batch phase"};
  smallint variance = 0;
  farray<bool, 1, maxcomp> hascomp{"batch hascomp"};
  smallint nfreecomp = 0;
  smallint np = 0;
  smallint nt = 0;
  farray<extended, 1, maxbatchpt> plist{"batch plist"};
  farray<extended, 1, maxbatchpt> tlist{"batch tlist"};
  smallint npt = 0;
  farray<smallint, 1, maxbatchpt> nfilter{"batch nfilter"};
  fmatrix<filtertype, 1, maxbatchpt, 1, maxfilter> filter{"batch filter"};
  smallint blockzeros = 0;
  smallint kxyz = 0;
  bool withbulk = false;
  smallint ncomp = 0;
  smallint comp1 = 0;
  smallint comp2 = 0;
  extended bulkprop = 0;
  farray<extended, 1, maxcomp> bulkcomp{"batch bulkcomp"};
  smallint nmodeset = 0;
  smallint modephase1 = 0, modephase2 = 0;
  extended mode1 = 0, mode2 = 0;
  bool hasiso = false;
  smallint niso = 0;
  farray<smallint, 1, maxbatchiso> isophase{"batch isophase"};
  farray<smallint, 1, maxbatchiso> isovar{"batch isovar"};
  farray<extended, 1, maxbatchiso> isovalue{"batch isovalue"};
  bool tatp = false;
  farray<bool, 1, maxbatchpt> pointok{"batch pointok"};
  farray<bool, 1, maxbatchpt> pointkept{"batch pointkept"};
  bool hasoddman = false;
  smallint oddman = 0;
  smallint nuv = 0;  // the highest component the item's phases use (DOBATCH, first run)
};

// One block of starting guesses for batch items.
struct bxyztype {
  farray<extended, 1, maxbxyz> value{"bxyz value"};
  farray<extended, 1, maxbxyz> low{"bxyz low"};
  farray<extended, 1, maxbxyz> high{"bxyz high"};
  farray<sstring, 1, maxbxyz> name{"bxyz name"};
  smallint count = 0;
  smallint zeros = 0;
};

// A group of batch items of which at least one must give a result.
struct breqtype {
  farray<smallint, 1, maxbreq> item{"batchreq item"};
  smallint count = 0;
};

// One Monte Carlo item: a perturbed a-x model parameter.
struct mctype {
  farray<sstring, 1, maxmcnames> phasename{"mc phasename"};
  smallint nphase = 0;
  farray<smallint, 1, maxmcnames> phasepos{"mc phasepos"};
  smallint kind = 0;
  smallint parpos = 0;
  smallint abc = 0;
  sstring parname;
  extended spread = 0;
  smallint rangeindex = 0;
  smallint rangecode = 0;
  extended base = 0;
  extended value = 0;
  farray<extended, 1, 3> dqfbase{"mc dqfbase"};
  extended orig = 0;  // the model's value before the series perturbs it (SETUPMONTECARLO)
  extended tdorig = 0;  // a DQF parameter's row entry before the series perturbs it (SETUPMONTECARLO)
  sstring label;      // its printed name between double quotes (SETUPMONTECARLO)
};

struct mcrangetype {
  sstring name;
  extended centre = 0;
  extended halfwidth = 0;
};

struct mcfunctype {
  sstring name;
  extended constant = 0;
  smallint nterm = 0;
  farray<extended, 1, maxmcterms> coef{"mcfunc coef"};
  farray<smallint, 1, maxmcterms> termrange{"mcfunc termrange"};
};

using mccomptype = farray<extended, 1, maxcomp>;

struct fracttype {
  sstring phase;
  smallint phasepos = 0;
  extended porosity = 0;
  extended extra = 0;
  extended t0 = 0;
  extended dt = 0;
  extended p0 = 0;
  extended dp = 0;
  smallint nsteps = 0;
  farray<extended, 1, maxcomp> extracomp{"fract extracomp"};
  extended removed = 0;
};

// The records of the rock minerals and of the mineral analyses to convert
// (utilities); only their counts belong to the script's reset.
struct mineraltype {
  sstring name;
  smallint n = -1;
  smallint phase = 0;                                       // its solution phase in PREC1 (MINERALCALC, MAKERBI)
  smallint nxyz = 0;                                        // compositional variables (RECALC)
  farray<sstring, 1, maxssem> xyzname{"min xyzname"};       // their names (RECALC)
  farray<extended, 1, maxssem> xyz{"min xyz"};              // their central values (CALCXYZ)
  farray<extended, 1, maxssem> sdxyz{"min sdxyz"};          // their sds (CALCXYZ)
  fmatrix<extended, 1, maxssem, 1, maxssem> corxyz{"min corxyz"};  // their correlations (CALCXYZ)
  smallint nox = 0;                                         // entries of the analysis, then of the working analysis
  smallint opos = 0, feopos = 0, fe2pos = 0, fe3pos = 0;   // the iron entries of the working analysis (0: none)
  bool analysed = false;                                    // recalculate this mineral from its analysis
  bool useideal = false;                                    // recalculate by the ideal-analysis fit
  farray<sstring, 1, maxcomp> inoxide{"min inoxide"};       // the oxide names as entered
  farray<extended, 1, maxcomp> wt{"min wt"};                // wt% entered, then the analysis the xyz came from
  farray<extended, 1, maxcomp> molwt{"min molwt"};          // molar mass of each working entry
  farray<extended, 1, maxcomp> cid{"min cid"};              // cations of the central result
  farray<extended, 1, maxcomp> wtwork{"min wtwork"};        // the working analysis in wt%
  farray<extended, 1, maxcomp> c0{"min c0"};                // cations of the plain recalculation
  farray<smallint, 1, maxcomp> oxoxygens{"min oxoxygens"};  // oxygens of each working oxide
  farray<smallint, 1, maxcomp> oxcations{"min oxcations"};  // cations of each working oxide
  farray<sstring, 1, maxcomp> cationname{"min cationname"}; // cation of each working entry ("Fe2", "Fe3" for iron)
  farray<sstring, 1, maxcomp> oxname{"min oxname"};         // oxide of each working entry
  extended fu = 0;                                          // oxygens per formula unit
  extended sdlogwt = 0;                                     // a of sd(ln wt%) = a/sqrt(wt%)
  extended sdmult = 1;                                      // factor on the printed sds
  extended xlow = 0, xhigh = 0;                             // range of x = Fe3/(Fe2 + Fe3)
  extended logx = 0, sdlogx = 0;                            // ln x and its sd
  extended sigfit = 0;                                      // weight divisor of the ideal fit (IDEAL)
  smallint nideal = 0;                                      // ideal constraints
  farray<extended, 1, maxideal> idealvalue{"min idealvalue"};
  farray<extended, 1, maxideal> idealconst{"min idealconst"};
  farray<smallint, 1, maxideal> nidealterm{"min nidealterm"};
  fmatrix<sstring, 1, maxideal, 1, maxcomp> idealname{"min idealname"};
  fmatrix<extended, 1, maxideal, 1, maxcomp> idealcoef{"min idealcoef"};  // cation coefficients, then oxide rows
  // What the script's "mineral" block left; after the read the variables
  // above keep only the included ones, and the "read" fields all of them.
  bool blockopen = false;  // the block was started and not finished
  bool convert = false;    // the block asked for its xyz to be converted from an analysis
  bool xyzgiven = false, sdgiven = false, inclgiven = false, corgiven = false;  // its "xyz", "sd", "incl", "cor" lines
  farray<bool, 1, maxssem> incl{"min incl"};                  // variable to be used ("incl" line)
  smallint nxyzread = 0;                                      // variables as given
  farray<sstring, 1, maxssem> xyznameread{"min xyznameread"};  // their names as given
  farray<extended, 1, maxssem> xyzread{"min xyzread"};         // their values as given
  farray<extended, 1, maxssem> sdxyzread{"min sdxyzread"};     // their sds as given
  fmatrix<extended, 1, maxssem, 1, maxssem> corxyzread{"min corxyzread"};  // their correlations as given
};
// A mineral analysis of the "convert" lines, as the script gave it.
struct mineralconvtype {
  sstring name;
  smallint n = 0;                                      // oxides of the start line
  farray<sstring, 1, maxcomp> inoxide{"conv inoxide"};  // their names as typed
  farray<extended, 1, maxcomp> wt{"conv wt"};            // the analysis in wt%, "wt2xyz"
  bool analysed = false;                               // an analysis was given
  bool useideal = false;                               // "ideal" constraints were given
  extended fu = 0;                                     // oxygens per formula unit, "info"
  extended sdlogwt = 0;                                // a of sd(ln wt%) = a/sqrt(wt%)
  extended xlow = 0, xhigh = 0;                        // range of x = Fe3/(Fe2 + Fe3)
  extended logx = 0, sdlogx = 0;                       // ln x from that range, and its sd
  extended sdmult = 1;                                 // factor on the printed sd
  smallint nideal = 0;                                 // ideal constraints
  farray<extended, 1, maxideal> idealvalue{"conv idealvalue"};
  farray<extended, 1, maxideal> idealconst{"conv idealconst"};
  farray<smallint, 1, maxideal> nidealterm{"conv nidealterm"};
  fmatrix<sstring, 1, maxideal, 1, maxcomp> idealname{"conv idealname"};
  fmatrix<extended, 1, maxideal, 1, maxcomp> idealcoef{"conv idealcoef"};
};

namespace ZQGLOBAL {

// Levels and codes
extern smallint DEBUGLEVELQ, OUTLEVEL;
extern smallint AVPTINFOLEVEL, AVPTCALCTYPE, AVPTALGO;  // detail, kind and algorithm of the average P-T output (script)
// avPT+: centre of the P-T basis and start of the solve (kbar, degrees C),
// the fixed T of avP+ (degrees C) and the fixed P of avT+ (kbar); no
// keyword sets them (script defaults; the x(CO2) preprocessing sets the fixed ones)
extern extended AVPGUESS, AVTGUESS, AVPFIXEDT, AVTFIXEDP;
extern smallint UTILITYCODE, TABLECODE, RECALCCODE;  // utility chosen, table kind, recalculation code (script, utilities)
extern bool DOINGCONVERT;  // a conversion utility is running (utilities)

// Rock minerals and conversions (utilities)
extern smallint NMIN;
extern sstring ROCKNAME;  // name of the rock of the utilities (script)
extern farray<mineraltype, 1, maxminerals> MINERAL;  // the rock's minerals (script)
extern smallint NCONV, NCONVB, NMINCONV;  // conversion rows, bulk conversions, converted minerals (script)
extern farray<mineralconvtype, 1, maxminerals> MINERALCONV;  // conversion of each mineral (script)
// The oxides and wt% of the "convert bulk" line (read by the utilities).
extern farray<sstring, 1, maxcomp> CONVOX;
extern farray<extended, 1, maxcomp> CONVBULK;  // wt% of each oxide of the "convert bulk" line (script)

// Solver tolerances
extern extended SMALLE, SMALLF, SMALLDX, SMALLSUMM;

// Starting guesses
extern smallint NXYZ;
extern farray<sstring, 1, maxxyz> XYZNAME;  // names of the starting guesses (script)
extern farray<extended, 1, maxxyz> XYZ, XYZSD, XYZLIM1, XYZLIM2;  // starting guesses, their sds and limits (script, the solver's updates)
extern extended P4XYZ, T4XYZ;  // P and T the guesses were made at (script)
extern smallint NMODEGUESS;  // mode guesses in use (script)
extern farray<sstring, 1, maxmodeguess> MODENAME;  // phase of each mode guess (script)
extern farray<extended, 1, maxmodeguess> MODEGUESSV;  // value of each mode guess (script)

// Same-coding groups
extern smallint NSC;
extern farray<smallint, 1, maxscgroups> ISC, ISC0;  // members of each same-coding group, as read and as used (script)
extern fmatrix<sstring, 1, maxscgroups, 1, maxscnames> SCNAME, LONGSCNAME, FULLSCNAME;  // the groups' phase names, short, long and full (script)

// Figure, phases and variance
extern smallint FIGURE;
extern smallint NWHSTRINGS, NEXCESSSTRINGS, NTOZEROSTRINGS;  // entries of the three lists below (script)
extern farray<sstring, 1, maxphaselist> WHSTRINGS, LONGWHSTRINGS;  // phases of the calculation, short and long names (script)
extern farray<sstring, 1, maxexcess> EXCESSSTRINGS, TOZEROSTRINGS;  // phases in excess, phases at zero mode (script)
extern smallint DOGLEVEL;  // how far the phase combinations are searched (script)
extern smallint MINVARIANCE, MAXVARIANCE;  // variance window of the combinations (script)
extern bool EXBUFF, PSEUDOSECTION, MODESBYNLE, MODESAFTERNLE, CALCG;  // calculation switches (script)
extern bool NUMERICAL, QVB;  // numerical derivatives, the older volume form (script)

// Bulk composition, rbi, projection plane
extern smallint NINCBULK, NCOMP;
extern farray<sstring, 1, maxcomp> BULKC;  // names of the bulk components (script)
extern farray<extended, 1, maxcomp> COMP1, COMP2;  // the two bulk compositions of a section (script)
extern smallint NRBIMODE, NRMIMODE;  // rbi rows and mode rows (script)
extern farray<sstring, 1, maxrbi> RBISTRP;  // phase of each rbi row (script)
extern farray<extended, 1, maxrbi> RBIMODE;  // mode of each rbi row (script)
extern fmatrix<extended, 1, maxrbi, 1, maxcomp> RBIC;  // composition of each rbi row (script)
extern smallint NPROJAPEX;  // apices of the projection plane (script)
extern farray<sstring, 1, maxcomp> PROJPLANEC;  // components of the projection plane (script)
extern farray<sstring, 1, maxprojapex> PROJNAMES;  // names of the apices (script)
extern fmatrix<extended, 1, maxprojapex, 1, maxcomp> PROJPLANE;  // composition of each apex (script)

// The keyword whose list of names the ln a names hold in calc modes 2 and
// 3, "seta", "setlna" or "setloga", which says how its values read; empty
// when none gave one (script)
extern sstring LNALISTKEY;

// Buffer, colours, liquid conversion, oblique paths
extern sstring BUFFERC;
extern extended BUFFERDEL;  // offset of the buffer (script)
extern smallint NRGBS;  // colours given (script)
extern farray<sstring, 1, maxrgb> RGBN;  // phase of each colour (script)
extern fmatrix<smallint, 1, maxrgb, 1, 3> RGBS;  // red, green, blue of each colour (script)
extern smallint CONVLIQROW, CONVLIQCOL;  // rows and columns of the liquid conversion (script)
extern fmatrix<extended, 1, maxconvliqrows, 1, maxconvliqcols> CONVLIQINFO;  // the liquid conversion table (script)
extern extended OBLIQUEA, OBLIQUEB;  // slope and offset of an oblique P-T path (script)

// Chemical potentials for the utilities ("muval")
extern extended MUP, MUT;
extern smallint NMUCALCS;  // rows of mu calculations (script)
extern fmatrix<extended, 1, maxmucalcs, 1, maxcomp> MUCALCS;  // coefficients of each mu calculation (script)
extern farray<smallint, 1, maxmucalcs> MUCOUNT;  // how many values each line of MUCALCS gave (script)

// Batch, Monte Carlo and fractionation tables
extern smallint NBATCH, NBATCHXYZ, NBATCHREQ, NBATCHSWITCH;
extern farray<batchtype, 1, maxbatch> BATCHINFO;  // the batch items (script)
extern farray<bxyztype, 1, maxbatch> BATCHXYZ;  // starting guesses of each batch item (script)
extern farray<breqtype, 1, maxbreq> BATCHREQ;  // the batch's required phases (script)
extern farray<bool, 1, maxbatchswitch> BATCHSWITCH;  // the batch switches (script)
extern farray<smallint, 1, maxbatch> BATCHNO;  // number of each batch item (script)
extern bool FILTERING;  // a batch filter is on (script)
extern smallint NFILT, NFILTPT;  // filter entries and points (script)
extern smallint NMC, NMCRANGE, NMCFUNC, NMCCOMP, BATCHNUVI;  // Monte Carlo entries of each kind, components of the batch (script)
extern farray<mctype, 1, maxmc> MCINFO;  // Monte Carlo entries (script)
extern farray<mcrangetype, 1, maxmc> MCRANGEINFO;  // Monte Carlo ranges (script)
extern farray<mcfunctype, 1, maxmc> MCFUNCINFO;  // Monte Carlo functions (script)
extern farray<mccomptype, 1, maxmc> MCCOMPINFO;  // Monte Carlo compositions (script)
extern fracttype FRACTINFO;  // the fractionation set-up (script)
extern extended MCIT;  // Monte Carlo iterations asked for (script)
extern smallint MCITOK;  // how the mcit line was met: 1 read, 3 set for Monte Carlo debugging (script)
extern bool GAUSSMC;  // Gaussian rather than uniform draws (script)

// Least-squares preferences
extern controldstype CONTROLDS;

}  // namespace ZQGLOBAL
