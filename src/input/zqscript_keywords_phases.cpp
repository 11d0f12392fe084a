// Keywords that say which phases take part, the variance, the starting
// guesses, the bulk composition, the isopleths and the projection plane.
// Several are blocks of lines: a first line of names, then lines of numbers.
#include "frame/constants.h"
#include "frame/zqglobal.h"
#include "input/zqscript.h"

namespace ZQSCRIPT {

using namespace ZQGLOBAL;

namespace {

controlboolean asktoyes(controlboolean c) { return c == ask ? yes : c; }

sstring oxidename(const sstring& w) { return (w == "FeOt" || w == "FeOtot") ? sstring("FeO") : w; }

// A phase name may carry a "_" separator; the short name is the part before.
sstring shortname(const sstring& name) {
  const auto p = name.find('_');
  if (p == std::string::npos) return name;
  if (p == 0 || p + 1 == name.size()) SCRIPTFAULT("sepchar in wrong place in " + name);
  return name.substr(0, p);
}

void withlist(const scriptline& l) {
  const sstring& k = l.keyword;
  CONTROLJX.with = asktoyes(l.sw);
  NWHSTRINGS = 0;
  if (CONTROLJX.with == no) return;
  if (INFOSTRING[1] == "all") {
    if (CALCMODE == calcmodetype::utilitycalc) {
      NWHSTRINGS = 101;
      return;
    }
    SCRIPTFAULT(QUOTE("all") + " in " + QUOTE(k) + " only defined for utilitycalc", "reading script");
  }
  if (NINFO == 0) {
    IO::PUTSTR(1, k + " should be followed by a list of phase names", 1, CHANNEL::TERMLOG);
    SCRIPTFAULT(k + ": missing list");
  }
  if (INFOSTRING[1] == "someof") {
    CONTROLJX.someof = true;
    if (NINFO == 1) {
      IO::PUTSTR(1, "someof should be followed by a list of phase names", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("missing list of phases");
    }
    SHIFTINFO(1);
  }
  smallint n = 0;
  if (!CHECKSCRIPTNS(k, n)) return;
  NWHSTRINGS = n;
  for (smallint i = 1; i <= n; ++i) {
    if (INFOSTRING[i].empty()) SCRIPTFAULT("zero-length string");
    LONGWHSTRINGS[i] = INFOSTRING[i];
    WHSTRINGS[i] = shortname(INFOSTRING[i]);
  }
}

void phaselist(const scriptline& l, controlboolean& sw, farray<sstring, 1, maxexcess>& list, smallint& count,
               const std::string& what) {
  sw = l.sw;
  if (sw == no || NINFO == 0 || INFOSTRING[1] == "none") {
    sw = yes;
    count = 0;
    return;
  }
  smallint n = 0;
  if (!CHECKSCRIPTNS(l.keyword, n)) return;
  if (n > maxexcess) SCRIPTFAULT("too many phases " + what);
  for (smallint i = 1; i <= n; ++i) list[i] = INFOSTRING[i];
  count = n;
}

void setvar(const scriptline& l) {
  CONTROLJX.setvar = l.sw;
  if (NINFO == 0 || l.sw == no) {
    CONTROLJX.setvar = no;
  } else if (INFOTYPE[1] == valuetype::aninteger) {
    VARIANCE = INFOINT[1];
  } else {
    CONTROLJX.setvar = no;
  }
}

void maxvar(const scriptline& l) {
  CONTROLJX.maxvar = l.sw;
  MINVARIANCE = 2;
  MAXVARIANCE = 0;
  if (NINFO == 0 || DOGMIN) {
    CONTROLJX.maxvar = no;
  } else if (NINFO >= 2 && INFOTYPE[1] == valuetype::aninteger && INFOTYPE[2] == valuetype::aninteger) {
    MINVARIANCE = INFOINT[1] < 2 ? smallint(2) : INFOINT[1];
    MAXVARIANCE = INFOINT[2];
  } else if (NINFO == 1 && INFOTYPE[1] == valuetype::aninteger) {
    MAXVARIANCE = INFOINT[1];
  } else {
    CONTROLJX.maxvar = no;
  }
  if (CONTROLJX.maxvar != no && MAXVARIANCE < MINVARIANCE) MAXVARIANCE = MINVARIANCE;
}

void dogmin(const scriptline& l) {
  DOGMIN = l.sw == yes;
  if (!DOGMIN) {
    DOGLEVEL = -1;
  } else if (NINFO == 0) {
    DOGLEVEL = 2;
  } else {
    DOGLEVEL = CHECKSCRIPTI("dogmin", 0, 2) ? INFOINT[1] : smallint(2);
  }
}

void samecoding(const scriptline& l) {
  CONTROLJX.samecoding = l.sw;
  if (NSC == 0 || l.sw != yes || NINFO == 0) return;
  NSC = static_cast<smallint>((NSC < 0 ? 0 : NSC) + 1);
  if (NSC > maxscgroups) SCRIPTFAULT("too many samecodings");
  if (NINFO > maxscnames) SCRIPTFAULT("too many items in a samecoding");
  for (smallint i = 1; i <= NINFO; ++i) {
    LONGSCNAME(NSC, i) = INFOSTRING[i];
    SCNAME(NSC, i) = shortname(INFOSTRING[i]);
  }
  ISC[NSC] = NINFO;
}

void convliq(const scriptline& l) {
  if (CONVLIQROW == 0) return;
  CONTROLJX.convliq = l.sw;
  if (l.sw == yes) {
    bool readable = NINFO > 0;
    for (smallint i = 1; i <= NINFO; ++i)
      if (!ISNUMBER(INFOTYPE[i])) readable = false;
    if (!readable) {
      CONTROLJX.convliq = no;
    } else {
      if (CONVLIQROW < 0) {
        CONVLIQROW = 0;
        CONVLIQCOL = NINFO;
        if (CONVLIQCOL > maxconvliqcols) SCRIPTFAULT("too many columns in convliq matrix", "control");
      }
      if (NINFO == CONVLIQCOL) {
        if (CONVLIQROW + 1 > maxconvliqrows) SCRIPTFAULT("too many rows in convliq matrix", "control");
        CONVLIQROW = static_cast<smallint>(CONVLIQROW + 1);
        for (smallint j = 1; j <= CONVLIQCOL; ++j) CONVLIQINFO(CONVLIQROW, j) = INFOREAL[j];
      }
    }
  }
  if (CONTROLJX.convliq == no) CONVLIQROW = 0;
}

void ptguess(const scriptline& l) {
  CONTROLJX.ptguess = l.sw;
  if (l.sw != yes || NINFO < 2) return;
  extended p = 0, t = 0;
  if (!WORDREAL(INFOSTRING[1], p) || !WORDREAL(INFOSTRING[2], t)) {
    CONTROLJX.ptguess = no;
    return;
  }
  // A guess outside the absolute window turns the guess off and the run goes
  // on: a dogmin block at 0.04 kbar is written "ptguess 0.0 600".
  P4XYZ = p;
  T4XYZ = t + CONST::KELVIN;
  if (!(ABSPLOW <= P4XYZ && P4XYZ <= CONST::PCEILING && CONST::TFLOOR <= T4XYZ && T4XYZ <= CONST::TCEILING)) CONTROLJX.ptguess = no;
}

void xyzguess(const scriptline& l) {
  CONTROLJX.xyzguess = l.sw;
  if (NXYZ == 0 || l.sw != yes || NINFO < 2) return;
  extended v = 0;
  if (!WORDREAL(INFOSTRING[2], v)) return;
  extended sd = 0, low = 0, high = 1;
  smallint j = 3;
  extended a = 0, b = 0;
  if (j + 1 <= NINFO && INFOSTRING[j] == "sd" && WORDREAL(INFOSTRING[j + 1], a)) {
    sd = a;
    j = static_cast<smallint>(j + 2);
  }
  if (j + 2 <= NINFO && INFOSTRING[j] == "range" && WORDREAL(INFOSTRING[j + 1], a) &&
      WORDREAL(INFOSTRING[j + 2], b)) {
    low = a;
    high = b;
  }
  // A variable guessed again has one guess: the lines must agree.
  for (smallint g = 1; g <= NXYZ; ++g)
    if (XYZNAME[g] == INFOSTRING[1]) {
      if (XYZ[g] != v || XYZSD[g] != sd || XYZLIM1[g] != low || XYZLIM2[g] != high)
        TWICEFAULT(INFOSTRING[1], l.keyword);
      return;
    }
  NXYZ = static_cast<smallint>((NXYZ < 0 ? 0 : NXYZ) + 1);
  if (NXYZ > maxxyz) SCRIPTFAULT("too many xyzguess");
  XYZNAME[NXYZ] = INFOSTRING[1];
  XYZ[NXYZ] = v;
  XYZLIM1[NXYZ] = low;
  XYZLIM2[NXYZ] = high;
  XYZSD[NXYZ] = sd;
}

void modeguess(const scriptline& l) {
  CONTROLJX.modeguess = l.sw;
  if (NMODEGUESS == 0 || l.sw != yes || NINFO < 2) return;
  extended v = 0;
  if (!WORDREAL(INFOSTRING[2], v)) return;
  for (smallint g = 1; g <= NMODEGUESS; ++g)
    if (MODENAME[g] == INFOSTRING[1]) {
      if (MODEGUESSV[g] != v) TWICEFAULT(INFOSTRING[1], l.keyword);
      return;
    }
  NMODEGUESS = static_cast<smallint>((NMODEGUESS < 0 ? 0 : NMODEGUESS) + 1);
  if (NMODEGUESS > maxmodeguess) SCRIPTFAULT("too many modeguess");
  MODENAME[NMODEGUESS] = INFOSTRING[1];
  MODEGUESSV[NMODEGUESS] = v;
}

struct isofields {
  controlboolean& sw;
  sstring &name1, &name2;
  extended &low1, &high1, &inc1, &low2, &high2, &inc2;
  std::string prefix;  // "" or "mode "
};

void isopleth(const scriptline& l, isofields f) {
  f.sw = l.sw;
  f.low1 = f.high1 = f.low2 = f.high2 = 0;
  f.inc1 = f.inc2 = 0.001L;
  if (INFOSTRING[1] == "none") f.sw = no;
  if (f.sw == no || INFOTYPE[1] != valuetype::astring) return;
  auto isname = [](smallint i) { return INFOTYPE[i] == valuetype::astring; };
  auto nums = [](smallint a, smallint b) {
    for (smallint i = a; i <= b; ++i)
      if (!ISNUMBER(INFOTYPE[i])) return false;
    return true;
  };
  bool recognised = true;
  f.name1 = INFOSTRING[1];
  switch (NINFO) {
    case 1:
      break;
    case 2:
      if (isname(2))
        f.name2 = INFOSTRING[2];
      else if (nums(2, 2))
        f.low1 = f.high1 = INFOREAL[2];
      else
        recognised = false;
      break;
    case 4:
      if (isname(3) && nums(2, 2) && nums(4, 4)) {
        f.low1 = f.high1 = INFOREAL[2];
        f.name2 = INFOSTRING[3];
        f.low2 = f.high2 = INFOREAL[4];
      } else {
        SHIFTINFO(1);
        smallint n = 3;
        if (!CHECKSCRIPTNR(l.keyword, n)) return;
        f.low1 = INFOREAL[1];
        f.high1 = INFOREAL[2];
        f.inc1 = INFOREAL[3];
      }
      break;
    case 5:
    case 6:
    case 8:
      recognised = nums(2, 4) && isname(5) && (NINFO == 5 || nums(6, NINFO));
      if (recognised) {
        f.low1 = INFOREAL[2];
        f.high1 = INFOREAL[3];
        f.inc1 = INFOREAL[4];
        f.name2 = INFOSTRING[5];
        if (NINFO == 6) f.low2 = f.high2 = INFOREAL[6];
        if (NINFO == 8) {
          f.low2 = INFOREAL[6];
          f.high2 = INFOREAL[7];
          f.inc2 = INFOREAL[8];
        }
      }
      break;
    default:
      recognised = false;
  }
  if (!recognised) {
    IO::PUTSTR(1, f.prefix + "isopleth info not recognised: just use isopleth name(s)", 1, CHANNEL::TERMLOG);
    IO::PUTSTR(0, "and enter the isopleth information interactively?", 1, CHANNEL::TERMLOG);
    SCRIPTFAULT(f.prefix + "isopleth info inappropriate");
  }
  auto valid = [](extended lo, extended hi, extended inc) { return lo <= hi && inc > 0 && lo >= 0 && hi <= 1; };
  if (!valid(f.low1, f.high1, f.inc1) || !valid(f.low2, f.high2, f.inc2)) {
    IO::PUTSTR(1, f.prefix + "isopleth: name, then low, high and increment expected, or one value", 1, CHANNEL::TERMLOG);
    SCRIPTFAULT(f.prefix + "isopleth values inappropriate");
  }
}

void zeromodeiso(const scriptline& l) {
  CONTROLJX.zeromodeiso = l.sw;
  if (l.sw != yes || NINFO < 1) return;
  CONTROLJX.zeromodename1 = INFOSTRING[1];
  if (NINFO >= 2) CONTROLJX.zeromodename2 = INFOSTRING[2];
}

// The name line of a block: names into a table of at most 26.
smallint namesline(const scriptline& l, farray<sstring, 1, 26>& names, bool oxides) {
  smallint n = 0;
  if (!CHECKSCRIPTNS(l.keyword, n)) return -1;
  if (n > 26) SCRIPTFAULT("too many names in " + l.keyword);
  for (smallint i = 1; i <= n; ++i) names[i] = oxides ? oxidename(INFOSTRING[i]) : INFOSTRING[i];
  return n;
}

void projplane(const scriptline& l) {
  const sstring& k = l.keyword;
  CONTROLJX.projplane = l.sw;
  if (l.sw == no) {
    NPROJAPEX = 0;
    return;
  }
  if (NPROJAPEX == 0) return;
  if (NPROJAPEX == -1) {
    if (INFOTYPE[1] != valuetype::astring) {
      IO::PUTSTR(1, "now, " + k + " starts with an oxide list on a line, before the block ", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "of apex compositions (this line was there before but preceded by a %)", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("change the " + k + " script");
    }
    const smallint n = namesline(l, PROJPLANEC, true);
    if (n < 0) return;
    NPROJAPEX = -2;
    CONTROLJX.projplanedata = n;
    return;
  }
  NPROJAPEX = static_cast<smallint>(NPROJAPEX < 0 ? 1 : NPROJAPEX + 1);
  if (NPROJAPEX > maxprojapex) SCRIPTFAULT("too many apices in " + k);
  if (!CHECKSCRIPTS(k)) return;
  PROJNAMES[NPROJAPEX] = INFOSTRING[1];
  SHIFTINFO(1);
  smallint n = CONTROLJX.projplanedata;
  if (!CHECKSCRIPTNR(k, n)) return;
  for (smallint j = 1; j <= n; ++j) PROJPLANE(NPROJAPEX, j) = INFOREAL[j];
  // An apex given again is the same corner of the plane.
  for (smallint a = 1; a < NPROJAPEX; ++a) {
    if (PROJNAMES[a] != PROJNAMES[NPROJAPEX]) continue;
    for (smallint j = 1; j <= n; ++j)
      if (PROJPLANE(a, j) != PROJPLANE(NPROJAPEX, j)) TWICEFAULT(PROJNAMES[a], k);
    NPROJAPEX = static_cast<smallint>(NPROJAPEX - 1);
    return;
  }
}

void pseudosection(const scriptline& l) {
  PSEUDOSECTIONGIVEN = true;
  PSEUDOSECTION = l.sw != no;
  if (PSEUDOSECTION && (CONTROLJX.bulk == yes || CONTROLJX.rbi == yes))
    SCRIPTFAULT("pseudosection script needs to be before reading bulk");
}

void bothbulkandrbi() {
  IO::PUTSTR(1, "both bulk and rbi in the scriptfile; choose which to use", 1, CHANNEL::TERMLOG);
  SCRIPTFAULT("ambiguity setting the bulk composition");
}

void bulk(const scriptline& l) {
  const sstring& k = l.keyword;
  CONTROLJX.bulk = asktoyes(l.sw);
  if (CONTROLJX.bulk == no) {
    NCOMP = 0;
    return;
  }
  if (NCOMP == 0 || !PSEUDOSECTION) return;
  if (CONTROLJX.rbi == yes) bothbulkandrbi();
  if (NCOMP < -2) {
    if (INFOTYPE[1] != valuetype::astring) {
      IO::PUTSTR(1, k + " should start with an oxide list on a line, ", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "before the one or two lines of compositions", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("change the " + k + " script");
    }
    const smallint n = namesline(l, BULKC, true);
    if (n < 0) return;
    NCOMP = -2;
    CONTROLJX.nbulkoxides = n;
    return;
  }
  if (NCOMP >= 2) SCRIPTFAULT("more than two compositions in setbulk?");
  NCOMP = static_cast<smallint>(NCOMP < 0 ? 1 : NCOMP + 1);
  smallint n = CONTROLJX.nbulkoxides;
  if (n < 1 || !CHECKSCRIPTNR(k, n)) {
    NCOMP = 0;
    CONTROLJX.bulk = no;
    return;
  }
  extended sum = 0;
  for (smallint i = 1; i <= n; ++i) sum += INFOREAL[i];
  if (sum <= 0) SCRIPTFAULT("sum of bulk composition <= 0?");
  auto& comp = NCOMP == 1 ? COMP1 : COMP2;
  for (smallint i = 1; i <= n; ++i) comp[i] = INFOREAL[i] * 100 / sum;
  if (NCOMP == 2 && NINFO > n) {
    SHIFTINFO(n);
    if (CHECKSCRIPTI(k, 2, 100)) NINCBULK = static_cast<smallint>(INFOINT[1] + 1);
  }
}

void splitbulk(const scriptline& l) {
  CONTROLJX.splitbulk = l.sw;
  CONTROLJX.subrangelow = 0;
  CONTROLJX.subrangehigh = 1;
  if (l.sw == no || NINFO == 0) return;
  CONTROLJX.onebulkvalue = -1;
  const bool two = NINFO >= 2;
  if (CHECKSCRIPTR(l.keyword, 0, 1)) CONTROLJX.subrangelow = INFOREAL[1];
  if (two) {
    SHIFTINFO(1);
    if (CHECKSCRIPTR(l.keyword, 0, 1)) CONTROLJX.subrangehigh = INFOREAL[1];
  }
}

void onebulk(const scriptline& l) {
  CONTROLJX.onebulk = l.sw;
  CONTROLJX.onebulkvalue = -1;
  if (l.sw != no && NINFO > 0 && CHECKSCRIPTR(l.keyword, 0, 1)) CONTROLJX.onebulkvalue = INFOREAL[1];
}

void rbi(const scriptline& l) {
  const sstring& k = l.keyword;
  CONTROLJX.rbi = asktoyes(l.sw);
  if (CONTROLJX.rbi == no) {
    NRBIMODE = 0;
    return;
  }
  if (NRBIMODE == 0) return;
  if (!PSEUDOSECTION) {
    CONTROLJX.rbi = no;
    return;
  }
  if (CONTROLJX.bulk == yes) bothbulkandrbi();
  if (NRBIMODE == -1) {
    if (INFOTYPE[1] != valuetype::astring) {
      IO::PUTSTR(1, "now, rbi starts with a component list on a line (run a ", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "calculation with printbulkinfo to see the new format)", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("change the rbi");
    }
    const smallint n = namesline(l, BULKC, true);
    if (n < 0) return;
    NRBIMODE = -2;
    CONTROLJX.nbulkoxides = n;
    return;
  }
  NRBIMODE = static_cast<smallint>(NRBIMODE < 0 ? 1 : NRBIMODE + 1);
  if (NRBIMODE > maxrbi) SCRIPTFAULT("too many phases in rbi");
  if (!CHECKSCRIPTS(k)) {
    NRBIMODE = 0;
    return;
  }
  RBISTRP[NRBIMODE] = INFOSTRING[1];
  if (INFOSTRING[2] == "##") SCRIPTFAULT("replace ## with modes in rbi");
  SHIFTINFO(1);
  if (!CHECKSCRIPTR(k, -1, 100)) {
    NRBIMODE = 0;
    return;
  }
  const smallint row = NRBIMODE;
  RBIMODE[row] = INFOREAL[1];
  // the rock's phases give the one bulk composition of the run
  NCOMP = 1;
  SHIFTINFO(1);
  smallint n = CONTROLJX.nbulkoxides;
  if (n < 1 || !CHECKSCRIPTNR(k, n)) {
    NRBIMODE = 0;
    return;
  }
  for (smallint j = 1; j <= n; ++j) RBIC(row, j) = INFOREAL[j];
  // A phase given a second row is one phase of the rock: the rows must agree.
  for (smallint i = 1; i < row; ++i) {
    if (RBISTRP[i] != RBISTRP[row]) continue;
    bool same = RBIMODE[i] == RBIMODE[row];
    for (smallint j = 1; j <= n; ++j) same = same && RBIC(i, j) == RBIC(row, j);
    if (!same) TWICEFAULT(RBISTRP[row], k);
    NRBIMODE = static_cast<smallint>(row - 1);
    return;
  }
}

void isr(const scriptline& l) {
  const sstring& k = l.keyword;
  isrtype& t = CONTROLJX.isrdata;
  CONTROLJX.isr = l.sw;
  if (l.sw == no) {
    t.nrow = 0;
    return;
  }
  if (t.nrow == 0) {
    CONTROLJX.isr = no;
    return;
  }
  if (t.nrow == -1) {
    if (INFOTYPE[1] != valuetype::astring) {
      IO::PUTSTR(1, "now, " + k + " starts with an end-member list on a line, before the block ", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "of reaction coeffs (this line was there before but preceded by a %)", 1, CHANNEL::TERMLOG);
      SCRIPTFAULT("change the " + k + " script");
    }
    smallint n = 0;
    if (!CHECKSCRIPTNS(k, n)) return;
    for (smallint i = 1; i <= n; ++i) t.name[i] = INFOSTRING[i];
    t.nname = n;
    t.nrow = -2;
    return;
  }
  smallint n = t.nname;
  if (n < 1 || !CHECKSCRIPTNI(k, n)) {
    t.nrow = 0;
    CONTROLJX.isr = no;
    return;
  }
  const smallint row = static_cast<smallint>(t.nrow < 0 ? 1 : t.nrow + 1);
  if (row > maxisrrows) SCRIPTFAULT("too many reactions in " + k);
  t.nrow = row;
  for (smallint j = 1; j <= n; ++j) t.row(row, j) = INFOINT[j];
}

}  // namespace

bool KEYWORDSPHASES(const scriptline& l) {
  const sstring& k = l.keyword;
  if (k == "with" || k == "which") {
    withlist(l);
  } else if (k == "setexcess" || k == "inexcess") {
    phaselist(l, CONTROLJX.inexcess, EXCESSSTRINGS, NEXCESSSTRINGS, "in excess");
  } else if (k == "tozero" || k == "setexcess0" || k == "inexcess0") {
    scriptline m = l;
    m.sw = asktoyes(l.sw);
    phaselist(m, CONTROLJX.tozero, TOZEROSTRINGS, NTOZEROSTRINGS, "taken to zero");
  } else if (k == "setvar") {
    setvar(l);
  } else if (k == "autovar" || k == "acceptvar") {
    CONTROLJX.acceptvar = l.sw;
  } else if (k == "maxvar" || k == "varrange") {
    maxvar(l);
  } else if (k == "dogmin") {
    dogmin(l);
  } else if (k == "samecoding" || k == "samexeos") {
    samecoding(l);
  } else if (k == "convliq") {
    convliq(l);
  } else if (k == "ptguess") {
    ptguess(l);
  } else if (k == "readxyz" || k == "xyzguess" || k == "xyz") {
    xyzguess(l);
  } else if (k == "modeguess") {
    modeguess(l);
  } else if (k == "isopleth" || k == "setiso") {
    isopleth(l, {CONTROLJX.isopleth, CONTROLJX.isoname1, CONTROLJX.isoname2, CONTROLJX.isolow1, CONTROLJX.isohigh1,
                 CONTROLJX.isoinc1, CONTROLJX.isolow2, CONTROLJX.isohigh2, CONTROLJX.isoinc2, ""});
  } else if (k == "zeromodeiso" || k == "zeromodeisopleth") {
    zeromodeiso(l);
  } else if (k == "modeiso" || k == "modeisopleth") {
    isopleth(l, {CONTROLJX.modeiso, CONTROLJX.modeisoname1, CONTROLJX.modeisoname2, CONTROLJX.modeisolow1,
                 CONTROLJX.modeisohigh1, CONTROLJX.modeisoinc1, CONTROLJX.modeisolow2, CONTROLJX.modeisohigh2,
                 CONTROLJX.modeisoinc2, "mode "});
  } else if (k == "project" || k == "projection") {
    CONTROLJX.project = asktoyes(l.sw);
    if (CONTROLJX.project != no && CONTROLJX.projplane == yes)
      SCRIPTFAULT("projection script needs to be before reading projection plane");
  } else if (k == "setprojplane" || k == "projplane") {
    projplane(l);
  } else if (k == "projcomp") {
    CONTROLJX.projcomp = l.sw;
  } else if (k == "oblique") {
    CONTROLJX.oblique = l.sw;
  } else if (k == "pseudosection" || k == "pseudo") {
    pseudosection(l);
  } else if (k == "bulk" || k == "setbulk") {
    bulk(l);
  } else if (k == "splitbulk" || k == "bulksubrange") {
    splitbulk(l);
  } else if (k == "onebulk") {
    onebulk(l);
  } else if (k == "readbulkinfo" || k == "rbi") {
    rbi(l);
  } else if (k == "oisr" || k == "pisr") {
    CONTROLJX.pisr = l.sw;
  } else if (k == "setisr" || k == "isr") {
    isr(l);
  } else if (k == "rockname" || k == "runname" || k == "setrockname") {
    CONTROLJX.runname = l.sw;
    if (l.sw != no && CHECKSCRIPTS(k)) CONTROLJX.runnametext = INFOSTRING[1];
  } else if (k == "doallr" || k == "doallreactions") {
    CONTROLJX.doallreactions = l.sw;
  } else if (k == "doschreinemakers" || k == "schreinemakers") {
    if (l.sw == yes)
      CONTROLJX.doallreactions = no;
    else if (l.sw == no)
      CONTROLJX.doallreactions = yes;
  } else {
    return false;
  }
  return true;
}

}  // namespace ZQSCRIPT
