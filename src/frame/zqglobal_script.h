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
extern smallint AVPTINFOLEVEL, AVPTCALCTYPE, AVPTALGO;
extern smallint UTILITYCODE, TABLECODE, RECALCCODE;
extern bool DOINGCONVERT;

// Rock minerals and conversions (utilities)
extern smallint NMIN;
extern sstring ROCKNAME;
extern farray<mineraltype, 1, maxminerals> MINERAL;
extern smallint NCONV, NCONVB, NMINCONV;
extern farray<mineralconvtype, 1, maxminerals> MINERALCONV;
// The oxides and wt% of the "convert bulk" line (read by the utilities).
extern farray<sstring, 1, maxcomp> CONVOX;
extern farray<extended, 1, maxcomp> CONVBULK;

// Solver tolerances
extern extended SMALLE, SMALLF, SMALLDX, SMALLSUMM;

// Starting guesses
extern smallint NXYZ;
extern farray<sstring, 1, maxxyz> XYZNAME;
extern farray<extended, 1, maxxyz> XYZ, XYZSD, XYZLIM1, XYZLIM2;
extern extended P4XYZ, T4XYZ;
extern smallint NMODEGUESS;
extern farray<sstring, 1, maxmodeguess> MODENAME;
extern farray<extended, 1, maxmodeguess> MODEGUESSV;

// Same-coding groups
extern smallint NSC;
extern farray<smallint, 1, maxscgroups> ISC, ISC0;
extern fmatrix<sstring, 1, maxscgroups, 1, maxscnames> SCNAME, LONGSCNAME, FULLSCNAME;

// Figure, phases and variance
extern smallint FIGURE;
extern smallint NWHSTRINGS, NEXCESSSTRINGS, NTOZEROSTRINGS;
extern farray<sstring, 1, maxphaselist> WHSTRINGS, LONGWHSTRINGS;
extern farray<sstring, 1, maxexcess> EXCESSSTRINGS, TOZEROSTRINGS;
extern smallint DOGLEVEL;
extern smallint MINVARIANCE, MAXVARIANCE;
extern bool EXBUFF, PSEUDOSECTION, MODESBYNLE, MODESAFTERNLE, CALCG;
extern bool NUMERICAL, QVB;

// Bulk composition, rbi, projection plane
extern smallint NINCBULK, NCOMP;
extern farray<sstring, 1, maxcomp> BULKC;
extern farray<extended, 1, maxcomp> COMP1, COMP2;
extern smallint NRBIMODE, NRMIMODE;
extern farray<sstring, 1, maxrbi> RBISTRP;
extern farray<extended, 1, maxrbi> RBIMODE;
extern fmatrix<extended, 1, maxrbi, 1, maxcomp> RBIC;
extern smallint NPROJAPEX;
extern farray<sstring, 1, maxcomp> PROJPLANEC;
extern farray<sstring, 1, maxprojapex> PROJNAMES;
extern fmatrix<extended, 1, maxprojapex, 1, maxcomp> PROJPLANE;

// Buffer, colours, liquid conversion, oblique paths
extern sstring BUFFERC;
extern extended BUFFERDEL;
extern smallint NRGBS;
extern farray<sstring, 1, maxrgb> RGBN;
extern fmatrix<smallint, 1, maxrgb, 1, 3> RGBS;
extern smallint CONVLIQROW, CONVLIQCOL;
extern fmatrix<extended, 1, maxconvliqrows, 1, maxconvliqcols> CONVLIQINFO;
extern extended OBLIQUEA, OBLIQUEB;

// Chemical potentials for the utilities ("muval")
extern extended MUP, MUT;
extern smallint NMUCALCS;
extern fmatrix<extended, 1, maxmucalcs, 1, maxcomp> MUCALCS;

// Batch, Monte Carlo and fractionation tables
extern smallint NBATCH, NBATCHXYZ, NBATCHREQ, NBATCHSWITCH;
extern farray<batchtype, 1, maxbatch> BATCHINFO;
extern farray<bxyztype, 1, maxbatch> BATCHXYZ;
extern farray<breqtype, 1, maxbreq> BATCHREQ;
extern farray<bool, 1, maxbatchswitch> BATCHSWITCH;
extern farray<smallint, 1, maxbatch> BATCHNO;
extern bool FILTERING;
extern smallint NFILT, NFILTPT;
extern smallint NMC, NMCRANGE, NMCFUNC, NMCCOMP, BATCHNUVI;
extern farray<mctype, 1, maxmc> MCINFO;
extern farray<mcrangetype, 1, maxmc> MCRANGEINFO;
extern farray<mcfunctype, 1, maxmc> MCFUNCINFO;
extern farray<mccomptype, 1, maxmc> MCCOMPINFO;
extern fracttype FRACTINFO;
extern extended MCIT;
extern smallint MCITOK;
extern bool GAUSSMC;

// Least-squares preferences
extern controldstype CONTROLDS;

}  // namespace ZQGLOBAL
