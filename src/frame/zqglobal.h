// The shared state of a run: every table and switch that more than one unit
// reads or writes lives here.
#pragma once

#include "frame/controljx.h"
#include "frame/farray.h"
#include "frame/types.h"

constexpr int maxcomp = 26;      // components (oxides)
constexpr int maxem = 400;       // end-members
constexpr int maxreac = 150;     // reactions
constexpr int maxss = 80;        // solution phases
constexpr int maxp0 = 400;       // phases that are not solutions
constexpr int maxtd = 31;        // thermodynamic values of an end-member
constexpr int maxssem = 15;      // end-members of one solution phase
constexpr int maxlna = 6;        // ln a and mu variables

using cvector = farray<extended, 1, maxcomp>;
using emvector = farray<extended, 1, maxem>;
using iemvector = farray<smallint, 1, maxem>;
using semvector = farray<sstring, 1, maxem>;

// Phase records and a-x expressions.
#include "frame/zqglobal_phases.h"

using cmatrix = fmatrix<smallint, 1, maxcomp, 1, maxem>;
using covmatrix = fmatrix<extended, 1, maxem, 1, maxem>;
using rmatrix = fmatrix<smallint, 1, maxreac, 1, maxem>;
using tdmatrix = fmatrix<extended, 1, maxem, 1, maxtd>;
using prec0table = farray<ptype0, 1, maxp0>;
using prec1table = farray<ptype1, 1, maxss>;
using dcompdxarray = farray<fmatrix<extended, 1, maxcomp, 1, maxssem>, 1, maxem>;

namespace ZQGLOBAL {

// Run frame
extern smallint CONTROLCODE;
extern calcmodetype CALCMODE;
extern smallint MAINLOOP;
extern bool FROMLSQDS;
extern diagramtype DIAGRAMMODE;
extern bool WHEREAT;

// Element/oxide table
extern farray<sstring, 1, maxcomp> ELNAME, OXNAME;
extern farray<extended, 1, maxcomp> MOLWT;
extern farray<smallint, 1, maxcomp> METALS, OXYGENS, ORDER;

// Work arrays, allocated once by ZQUTE1::SETUP
extern cmatrix* C;
extern covmatrix* COV;
extern rmatrix* R;
extern prec0table* PREC0;
extern prec1table* PREC1;
extern tdmatrix* TD;
extern dcompdxarray* DCOMPDX;

// Counts and run constants
extern smallint NP0, NPSS, NP, KNP, NUVLEFT, NPLEFT, NEX1, NEX, NR, NX, NXP, NXPSS, NISO;
extern smallint IV, ICP;
extern extended FIXEDXCO2, FIXEDXH2O;
extern bool REHELP, MAKECDHYDROUS, CANCONTINUE, DOALLREACTIONS;
extern extended ABSPLOW, TFACA, TFACB, PFACA, PFACB;
extern smallint PPRECISION, TPRECISION, XCO2PRECISION, LNAPRECISION, MUPRECISION;
extern smallint CO2POS, H2OPOS, CRDPOS, FCRDPOS, NLNA, NMU, MUPOS, LNAPOS;
extern farray<bool, 1, maxcomp> BCOMPS;
extern farray<smallint, 1, maxem> NSITE;
extern farray<sstring, 1, maxlna> LNANAME, LNANAMEP, MUNAME;
extern farray<extended, 1, maxlna> FIXEDLNA, FIXEDMU;
extern farray<smallint, 1, maxlna> NLLNA, NLMU;
extern smallint GIXPW;
extern smallint NAQSI;
extern smallint VARIANCE;
extern sstring CONVSTATUS;
extern iemvector EXEM;

// Script settings
extern controljxtype CONTROLJX;
extern bool DOGMIN;
extern smallint DEBUGLEVEL;

}  // namespace ZQGLOBAL

#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_windows.h"
#include "frame/zqglobal_axsetup.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_reactions.h"
