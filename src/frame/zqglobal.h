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

using icmatrix = fmatrix<smallint, 1, maxcomp, 1, maxem>;
// A real composition matrix: components by the phases or end-members among
// which a reaction is sought.
using cmatrix = fmatrix<extended, 1, maxcomp, 1, maxem>;
using covmatrix = fmatrix<extended, 1, maxem, 1, maxem>;
using rmatrix = fmatrix<smallint, 1, maxreac, 1, maxem>;
using tdmatrix = fmatrix<extended, 1, maxem, 1, maxtd>;
using prec0table = growtable<ptype0, maxp0>;  // made as used
using prec1table = growtable<ptype1, maxss>;  // each record some 1 MB: made as used
using dcompdxarray = farray<fmatrix<extended, 1, maxcomp, 1, maxssem>, 1, maxem>;

namespace ZQGLOBAL {

// Run frame; set by the main program.
extern smallint CONTROLCODE;       // the calc-mode code of the run (GETCALCMODE)
extern calcmodetype CALCMODE;      // the calc mode that code names
extern smallint MAINLOOP;          // pass of the main loop, from 1
extern bool FROMLSQDS;             // the least-squares mode is evaluating (DOLSQDS)
extern diagramtype DIAGRAMMODE;    // the kind of diagram of the pass (main program, diagram set-up)
extern bool WHEREAT;               // trace of routine entries on the terminal
// Calc mode 0: the utility of the first pass when start-up settled it, so as
// to ask the names of the files it reads before any output is made (the
// drawing program, ZQMODE0::FIRSTNAMES); -1 leaves it to the pass.
extern smallint FIRSTUTILITY;
// Calc mode 0: the a-x suffix asked at start-up for a first-pass conversion
// whose script names no a-x file (the conversion alone goes on without an
// "axfile" line), else empty; ZQMODE0::FIRSTNAMES, read by the a-x reader in
// the first pass.
extern sstring FIRSTAXFILE;

// Element/oxide table; fixed by the run constants' reset.
extern farray<sstring, 1, maxcomp> ELNAME, OXNAME;  // element symbol and oxide of each component
extern farray<extended, 1, maxcomp> MOLWT;          // molar mass of the oxide (g)
// Cations and oxygens in the oxide formula, and the component's place in printed order.
extern farray<smallint, 1, maxcomp> METALS, OXYGENS, ORDER;

// Work arrays on the heap; ALLOCATEWORK makes them, RELEASEWORK gives them back.
extern icmatrix* C;              // composition of each end-member over the components (data-set reader)
extern covmatrix* COV;          // covariance of the end-members' enthalpies (data-set reader)
extern rmatrix* R;              // reaction coefficients (reaction finders)
extern prec0table* PREC0;       // phases that are not solutions (a-x reader)
extern prec1table* PREC1;       // solution phases (a-x reader)
extern tdmatrix* TD;            // thermodynamic row of each end-member, slots in TDSLOT (data-set reader)
extern dcompdxarray* DCOMPDX;   // d(composition)/dx of each end-member (calc-mode-1 set-up)

// Counts and run constants; defaults in RESETRUNCONSTANTS (SETUP).
// Pure phases, solution phases, all phases, phases of the calculation; then free components and
// phases left after fixing, excluded end-members and assemblages, reactions, unknowns, free unknowns
// and those of solution phases, isopleths: set by the readers and the calc-mode set-ups.
extern smallint NP0, NPSS, NP, KNP, NUVLEFT, NPLEFT, NEX1, NEX, NR, NX, NXP, NXPSS, NISO;
extern smallint IV, ICP;                    // indices of the diagram set-ups, 0 after set-up
extern extended FIXEDXCO2, FIXEDXH2O;       // the fixed fluid: x or a of CO2 and H2O (fluid prompt, script)
extern bool REHELP;                         // diagnostic switch of the reaction finder; false after set-up
extern bool MAKECDHYDROUS;                  // least squares: the cordierite hydration term applies
extern bool CANCONTINUE;                    // a restart block has been written (calc mode 1)
extern bool DOALLREACTIONS;                 // calc mode 3 lists every reaction
extern extended ABSPLOW;                    // lowest pressure of any window (kbar); "negp" lowers it
extern extended TFACA, TFACB, PFACA, PFACB; // T and P scaled onto 0..1 for the solver
// Decimals of P, T, x(CO2), ln a and mu in printed results.
extern smallint PPRECISION, TPRECISION, XCO2PRECISION, LNAPRECISION, MUPRECISION;
// Positions of CO2, H2O, crd and fcrd among the end-members (POSITIONS), the counts of the ln a and
// mu variables, and the positions of the first mu and ln a end-members.
extern smallint CO2POS, H2OPOS, CRDPOS, FCRDPOS, NLNA, NMU, MUPOS, LNAPOS;
extern farray<bool, 1, maxcomp> BCOMPS;     // component is free (not fixed by a mu or a buffer)
extern farray<smallint, 1, maxem> NSITE;    // site multiplicity of each end-member, for activity uncertainties (data-set reader)
// Names of the ln a variables, their printed labels, names of the mu variables (script, lnamu set-up).
extern farray<sstring, 1, maxlna> LNANAME, LNANAMEP, MUNAME;
extern farray<extended, 1, maxlna> FIXEDLNA, FIXEDMU;  // their fixed values (script, window prompts)
extern farray<smallint, 1, maxlna> NLLNA, NLMU;        // values in each one's list
extern smallint GIXPW;          // least-squares datum being evaluated, for the thermal-pressure stop
extern smallint NAQSI;          // multiplier of the aqueous-silica water term
extern smallint VARIANCE;       // variance of the calculation (calc-mode-1 set-up)
extern sstring CONVSTATUS;      // how the last solve converged ("ef", "f", "e", "dx"; "-" before any)
extern iemvector EXEM;          // end-members excluded one by one, 1..NEX1 (reaction finder, avPT set-up)

// Script settings; defaults in RESETSCRIPTSETTINGS (DEFAULTCONTROL).
extern controljxtype CONTROLJX; // the script's switches and values (script reader; readers resolve "ask")
extern bool DOGMIN;             // Gibbs-energy minimisation run ("dogmin")
extern smallint DEBUGLEVEL;     // amount of diagnostic output (script)

}  // namespace ZQGLOBAL

#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_numerics.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_windows.h"
#include "frame/zqglobal_axsetup.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_reactions.h"
#include "frame/zqglobal_refinder.h"
#include "frame/zqglobal_mode1.h"
