// The script switches and values, one field for each keyword that sets one,
// and the switches of the least-squares preferences.
#pragma once

#include "frame/farray.h"
#include "frame/types.h"

constexpr int maxxco2values = 201;
constexpr int maxisrem = 40;     // end-members of the isr name line
constexpr int maxisrrows = 40;   // rows of reaction coefficients

// The isr table: the end-member names of its first line and one row of
// integer coefficients per later line. A row count of -1 means that no line
// was read, -2 that only the name line was read.
struct isrtype {
  farray<sstring, 1, maxisrem> name{"isr names"};
  smallint nname = 0;
  smallint nrow = -1;
  fmatrix<smallint, 1, maxisrrows, 1, maxisrem> row{"isr rows"};
};

struct controljxtype {
  bool strictscripting = false;
  controlboolean moreprec = no;
  controlboolean ombrycalc = no;
  controlboolean magemin = no;
  controlboolean avptplus = no;
  controlboolean avptpluswithxco2 = no;
  controlboolean defsdaparams = yes;
  controlboolean usedefsda = yes;
  controlboolean justrelu = no;
  controlboolean diagramPT = no;
  controlboolean calcT = no;
  controlboolean calcP = no;
  controlboolean ptforaxe = no;
  extended ptforaxeP = 0;
  extended ptforaxeT = 0;
  controlboolean calcTatP = ask;
  controlboolean calctatp2 = yes;
  controlboolean calctype = no;
  smallint calctypecode = 0;
  controlboolean seta = no;
  controlboolean setlna = no;
  controlboolean setloga = no;
  controlboolean setmu = no;
  controlboolean muval = no;
  controlboolean usecalcq = no;
  controlboolean xco2values = no;
  smallint nxco2values = 0;
  farray<extended, 1, maxxco2values> xco2list{"xco2list"};
  extended xco2low = 0, xco2high = 0, xco2inc = 0;
  controlboolean isopleth = no;
  sstring isoname1;
  extended isolow1 = 0, isohigh1 = 0, isoinc1 = 0;
  sstring isoname2;
  extended isolow2 = 0, isohigh2 = 0, isoinc2 = 0;
  controlboolean modeiso = ask;
  sstring modeisoname1;
  extended modeisolow1 = 0, modeisohigh1 = 0, modeisoinc1 = 0;
  sstring modeisoname2;
  extended modeisolow2 = 0, modeisohigh2 = 0, modeisoinc2 = 0;
  controlboolean zeromodeiso = yes;
  sstring zeromodename1, zeromodename2;
  bool witholdset = false;
  controlboolean uncertainties = no;
  smallint uncertaintylevel = 0;
  controlboolean fluidpresent = no;
  controlboolean fluidexcess = no;
  controlboolean inexcess = no;
  controlboolean tozero = no;
  controlboolean setvar = no;
  controlboolean maxvar = no;
  controlboolean with = no;
  bool someof = false;
  controlboolean projplane = no;
  controlboolean project = no;
  smallint projplanedata = 0;
  controlboolean projcomp = yes;
  controlboolean bulk = no;
  smallint nbulkoxides = 0;
  controlboolean splitbulk = no;
  extended subrangelow = -1;
  extended subrangehigh = 1;
  controlboolean onebulk = no;
  extended onebulkvalue = -1;
  controlboolean c8 = no;
  controlboolean acceptvar = yes;
  controlboolean fifi = no;
  controlboolean lsqds = no;
  controlboolean latex = no;
  bool linesearch = true;
  controlboolean calcah2o = no;
  controlboolean calcmu = no;
  controlboolean calcmuo = no;
  controlboolean incnler = no;
  controlboolean modebox = no;
  controlboolean compatibility = no;
  controlboolean plotix = yes;
  smallint plotixcode = 0;
  controlboolean printxyz = yes;
  controlboolean xyzguess = no;
  controlboolean ptguess = no;
  controlboolean modeguess = no;
  controlboolean samecoding = no;
  controlboolean printbulkinfo = no;
  controlboolean rbi = no;
  controlboolean rmi = no;
  controlboolean convliq = no;
  controlboolean fractionation = no;
  controlboolean batch = no;
  controlboolean mc = no;
  controlboolean mcoutcurrentway = yes;
  controlboolean mcdebug = no;
  controlboolean batchdebug = yes;
  controlboolean spare = no;
  controlboolean oblique = no;
  controlboolean fractdebug = no;
  controlboolean runname = no;
  sstring runnametext;
  controlboolean dataok = ask;
  controlboolean setfluid = no;
  controlboolean maxsdt = no;
  controlboolean maxsdp = no;
  extended maxsdtvalue = 0;
  extended maxsdpvalue = 0;
  controlboolean printcor = no;
  controlboolean pisr = no;
  controlboolean isr = no;
  isrtype isrdata;
  controlboolean doallreactions = ask;
};

// The least-squares preferences.
struct controldstype {
  sstring jxdssuffix;
  sstring xpsuffix;
  sstring emsuffix;
  sstring axsuffix;
  smallint infolevel = 1;
  controlboolean printomit = yes;
  controlboolean mark456 = no;
  controlboolean userfac = yes;
  controlboolean tighten = no;
  controlboolean useqr = yes;
};
