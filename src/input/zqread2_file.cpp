// The a-x file as a whole: opening, the header block, the phase entries,
// pure phases and the options that follow entries and end-members.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "frame/constants.h"
#include "frame/bytes.h"
#include "frame/zqmath1.h"
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

void SETUPPHASES() {
  auto reader = std::make_unique<axreader>();
  reader->READFILE();
  reader->SETUPAGAINSTSCRIPT();
}

void axreader::OPEN() {
  SDWP = 0;
  ARB = 0;
  MINSDLNA = 0;
  DEFSDW0P = CONTROLJX.justrelu == yes ? 0 : 2;
  // Records not made yet are made as new ones when first used.
  for (long i = 1; i <= PREC1->made(); ++i) {
    (*PREC1)[i].name = "unset";
    (*PREC1)[i].nprop = 0;
  }
  if (CALCMODE != calcmodetype::lsqdscalc) {
    for (long i = 1; i <= PREC0->made(); ++i) {
      ptype0& p = (*PREC0)[i];
      p.name = "unset";
      p.emname.clear();
      p.activity = 1;
      p.sdactivity = 0;
      p.nmake = 0;
    }
  }
  if (CALCMODE == calcmodetype::lsqdscalc) {
    IO::OPENDATAFILE(IO::LSQAXNAME(CONTROLDS.axsuffix), "a-x info", IO::DATA);
  } else {
    HEAD1 = IO::CONTROLIO.progname + " running at " + IO::WHENSTRING;
    HEAD2 = "using " + WHEN1;
    IO::PUTSTR(0, std::string(60, '^'), 2, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, HEAD1, 1, CHANNEL::TERMSUMLOG);
    IO::PUTSTR(0, HEAD2, 1, CHANNEL::TERMSUMLOG);
    sstring suffix = IO::CONTROLIO.axfile;
    // Asked at start-up, before the outputs were made.
    if (suffix.empty() && MAINLOOP == 1) suffix = FIRSTAXFILE;
    IO::FILENAME = IO::PROMPTDATAFILE(IO::AXNAME, suffix, "a-x info", IO::DATA);
    AXFILENAME = IO::FILENAME;
    HEAD3 = "with axfile " + AXFILENAME + " and scriptfile " + IO::SCRIPTFILENAME;
    IO::PUTSTR(0, HEAD3, 2, CHANNEL::TERMSUMLOG);
  }
  IO::DATAOPEN = true;
  nscscript = NSC >= 1 ? NSC : 0;
  modelphase.fill(0);
  STARTTOKENS();
  NP = 0;
  NP0 = 0;
  NPSS = 0;
  NHEADER = 0;
  NBUFFER = 0;
}

void axreader::READFILE() {
  OPEN();
  READHEADER();
  READENTRIES();
  if (NP0 + NPSS != NP) IO::ERROREXIT("read", "numbers of phases do not add up", myfault);
  IO::PUTSTR(0, "", 1, CHANNEL::TERMLOG);
  BUFFERK = 0;
}

void axreader::READHEADER() {
  if (token != "header") return;
  NHEADER = 1;
  HEADER[1] = "#";
  for (;;) {
    bool closing = false;
    const cstring line = READLINE(closing);
    if (NHEADER >= maxheader) IO::ERROREXIT("setupphases", "too many header lines", yourfault);
    ++NHEADER;
    if (closing) {
      HEADER[NHEADER] = "#";
      break;
    }
    HEADER[NHEADER] = line.substr(0, 120);
  }
  INCKOK("end of header");
}

void axreader::READENTRIES() {
  const bool lsq = CALCMODE == calcmodetype::lsqdscalc;
  bool first = true;
  while (!atend()) {
    if (NP >= maxp0) IO::ERROREXIT("setup phases", "too many phases" + LIMITTEXT(maxp0), yourfault);
    ++NP;
    const sstring name = takename("name for " + IO::NTH[NP] + " phase");
    if (lsq) {
      IO::PUTSTR(0, "  " + IO::INT2STR(NP) + ")  " + name, 1, CHANNEL::LOG);
    } else {
      if (first) IO::PUTSTR(0, "reading ax: ", 0, CHANNEL::TERMLOG);
      column = static_cast<smallint>(column + 1 + static_cast<long>(name.size()));
      if (column > 80) {
        IO::PUTSTR(0, name + " ", 1, CHANNEL::TERMLOG);
        IO::PUTSTR(0, std::string(12, ' '), 0, CHANNEL::TERMLOG);
        column = 0;
      } else {
        IO::PUTSTR(0, name + " ", 0, CHANNEL::TERMLOG);
      }
    }
    first = false;
    bool solution = false;
    if (tclass == valuetype::aninteger) {
      smallint n = 0;
      std::string msg;
      solution = !IO::STR2INT(token, n, msg) || n != 1;
    }
    if (solution) {
      READSOLUTION(name);
    } else {
      if (lsq) IO::ERROREXIT("setup phases", "inappropriate ax info", yourfault);
      READPURE(name);
    }
  }
}

void axreader::READPURE(const sstring& name) {
  ++NP0;
  ptype0& p = (*PREC0)[NP0];
  p.name = name;
  p.longname = name;
  p.emname = name;
  p.modeset = false;
  p.dqfcode = -1;
  p.dqfa = p.dqfb = p.dqfc = 0;
  p.activity = 1;
  p.sdactivity = 0;
  p.nmake = 0;

  auto fixedactivity = [&]() {
    const extended a = takereal("fixed activity for" + name);
    if (!(a > 0 && a <= 1)) IO::ERROREXIT("setupphases", "activity for " + name + " not 0 > a " + macroman::greaterequal_s + " 1", yourfault);
    p.activity = a;
    if (tclass == valuetype::areal || token == "0") p.sdactivity = takereal("sd of fixed activity for" + name);
  };
  auto oneendmember = [&]() {
    INCKOK("no of end-members of " + name);
    if (atend()) IO::ERROREXIT("read", "unexpected end of input", yourfault);
    if (tclass == valuetype::astring) {
      INCKOK("name for end-member of " + name);
      p.emname = prev;
      if (p.emname == "buffer") {
        if (NBUFFER >= maxbuffers) IO::ERROREXIT("setupphases", "too many buffers", yourfault);
        ++NBUFFER;
        BUFFERNAME[NBUFFER] = name;
      }
    }
    if (tclass == valuetype::areal || token == "1") fixedactivity();
    if (atend()) return;
    if (CALCMODE != calcmodetype::lsqdscalc && name == p.emname)
      IO::ERROREXIT("setupphases",
                    "names: phase, " + name + ", and end-member, " + p.emname + ", must be different", yourfault);
    READOPTIONS(true, NP0);
  };

  if (tclass == valuetype::astring || atend()) {
    // the phase is its own data-set end-member at activity 1
  } else if (tclass == valuetype::areal) {
    fixedactivity();
  } else if (tclass == valuetype::aninteger) {
    smallint k = 0;
    if (ISPHNAME(name, k)) {
      // the "reading ax:" progress line is open: the notice starts below it
      IO::PUTSTR(1, "datafile appears to be ambiguous: a 1 immediately follows " + name + ";", 1, CHANNEL::TERMLOG);
      IO::PUTSTR(0, "this means either an activity of 1, or it's a 1 end-member phase.", 1, CHANNEL::TERMLOG);
      if (IO::QUERY("the '1' its activity")) {
        fixedactivity();
      } else {
        oneendmember();
      }
    } else {
      oneendmember();
    }
  }

  p.modeguess = -1;
  for (long i = 1; i <= NMODEGUESS; ++i) {
    if (MODENAME[i] == name && MODEGUESSV[i] > 0) {
      p.modeguess = MODEGUESSV[i];
      break;
    }
  }
  p.modefaca = 0.6666667L;
  p.modefacb = 0.1666667L;
  extended z1 = 0, z2 = 0;
  if (p.nmake == 0) {
    CHECKNAME(p.emname);
    if (!p.emname.empty() && (p.emname.back() == '-' || p.emname.back() == '+'))
      IO::ERROREXIT("setupphases", "charged species not allowed as end-members", yourfault);
  } else {
    CHARGES(p.makename, p.nmake, true, z1, z2);
  }
  p.td[TDSLOT::CHARGE1] = z1;
  p.td[TDSLOT::CHARGE2] = z2;
}

namespace {

// The rationals nums[i]/dens[i], i = 1..n, written over their least common
// denominator div as whole coefficients; false when div or a coefficient
// does not fit a smallint, and then nothing is written.
template <class Coefs>
bool overcommon(const liemvector& nums, const liemvector& dens, long n, smallint& div, Coefs& coef) {
  constexpr longint lo = std::numeric_limits<smallint>::min(), hi = std::numeric_limits<smallint>::max();
  const longint d = ZQMATH1::VECTORLCM(dens, static_cast<smallint>(n));
  if (d < 1 || d > hi) return false;
  Coefs scaled = coef;
  for (long i = 1; i <= n; ++i) {
    const longint c = d / dens[i] * nums[i];
    if (c < lo || c > hi) return false;
    scaled[i] = static_cast<smallint>(c);
  }
  div = static_cast<smallint>(d);
  coef = scaled;
  return true;
}

// The action word that may open a make recipe's term; notspecified when the
// token is none.
makeactiontype makeaction_of(const std::string& token) {
  if (token == "ordered") return makeactiontype::ordered;
  if (token == "disordered") return makeactiontype::disordered;
  if (token == "equilibrium" || token == "equil") return makeactiontype::equilibrium;
  return makeactiontype::notspecified;
}

}  // namespace

namespace {

bool samefraction(longint n1, longint d1, longint n2, longint d2) {
  return static_cast<std::int64_t>(n1) * d2 == static_cast<std::int64_t>(n2) * d1;
}

// A DQF as written: its keyword's sub-code and a + bT + cP.
struct dqfgiven {
  smallint sub = 0;
  extended a = 0, b = 0, c = 0;
  bool operator==(const dqfgiven&) const = default;
};

// A make recipe as stored, to be told from the one written after it.
struct makegiven {
  smallint nmake = 0, div = 0;
  makestype name;
  makeitype coef;
  makeatype action;
  bool same(const makegiven& o) const {
    if (nmake != o.nmake) return false;
    for (long i = 1; i <= nmake; ++i)
      if (name[i] != o.name[i] || action[i] != o.action[i] || !samefraction(coef[i], div, o.coef[i], o.div))
        return false;
    return true;
  }
};

// The options an entry has had so far, with the first DQF.
struct optionsgiven {
  bool dqf = false, make = false, check = false;
  dqfgiven firstdqf;
};

}  // namespace

void CHECKDQFALLOWED(smallint nmake) {
  if (CALCMODE == calcmodetype::lsqdscalc) IO::ERROREXIT("setup phases", "DQF not allowed in lsqds", yourfault);
  // With the older set an end-member that is not made takes its DQF on its
  // data-set row.
  if (!WITHOLDSET && nmake == 0)
    IO::ERROREXIT("setup phases", "need to \"make\" end-member before DQF-ing it", yourfault);
}

void axreader::READOPTIONS(bool pure, long index) {
  ptype1* ph = pure ? nullptr : &(*PREC1)[NPSS];
  ptype0* p0 = pure ? &(*PREC0)[index] : nullptr;
  emtype* em = pure ? nullptr : &ph->em[index];
  const sstring emname = pure ? p0->emname : em->name;
  const sstring phasename = pure ? p0->name : ph->longname;
  smallint& nmake = pure ? p0->nmake : em->nmake;
  smallint& makediv = pure ? p0->makediv : em->makediv;
  makestype& makename = pure ? p0->makename : em->makename;
  makeitype& makecoef = pure ? p0->makecoef : em->makecoef;
  makeatype& makeaction = pure ? p0->makeaction : em->makeaction;
  const bool lsq = CALCMODE == calcmodetype::lsqdscalc;
  const std::string codemsg = pure ? "option for " + phasename : "code for additional end-member info for " + emname;
  smallint sub = 0;
  // An option written twice is the option once when it says the same;
  // otherwise one of the two would be dropped unseen.
  optionsgiven given;
  auto twice = [&](const char* option) { GIVENTWICE(std::string(option) + " of " + emname, phasename, true); };

  for (;;) {
    if (atend()) return;
    smallint code = 0;
    if (tclass == valuetype::aninteger) {
      code = takeinteger(codemsg);
    } else if (tclass == valuetype::astring) {
      code = GETOPTION(token, sub);
      if (code == 0) return;
      INCKOK(codemsg);
    } else {
      return;
    }
    const bool allowed = pure ? (code == 3 || code == 4 || code == 6)
                              : (code == 3 || code == 4 || code == 5 || code == 7);
    if (!allowed) {
      if (pure) IO::ERROREXIT("reading", "wrong code for additional info for " + emname, yourfault);
      IO::ERROREXIT("setup phases", "wrong code in info for " + emname, yourfault);
    }
    switch (code) {
      case 3: {
        (pure ? p0->dqfcode : em->dqfcode) = sub;
        CHECKDQFALLOWED(nmake);
        if (!WITHOLDSET && tclass == valuetype::astring)
          IO::ERROREXIT("setup phases", "keyword after DQF not allowed now (include in make)", yourfault);
        const extended a = takereal("a in a+bT+cP in DQF term for " + emname);
        extended b = takereal("b in a+bT+cP in DQF term for " + emname);
        const extended c = takereal("c in a+bT+cP in DQF term for " + emname);
        const dqfgiven now{sub, a, b, c};
        if (given.dqf && !(given.firstdqf == now)) twice("DQF");
        given.dqf = true;
        given.firstdqf = now;
        if (pure) {
          // R ln 10 with R in kJ/K: the buffer's G moves by R T ln 10 per unit.
          if (p0->name == BUFFERC && p0->emname == "buffer") b = b + BUFFERDEL * CONST::RGAS * CONST::LN10;
          p0->dqfa = a;
          p0->dqfb = b;
          p0->dqfc = c;
        } else {
          em->dqfa = a;
          em->dqfb = b;
          em->dqfc = c;
          em->dqffit.fill(false);
        }
        break;
      }
      case 4: {
        const std::string nmsg = "no of end-members to construct " + emname;
        const smallint k = takeinteger(nmsg);
        if (k < 1) IO::ERROREXIT("setup phases", "too few end-members to construct " + emname, yourfault);
        if (k > maxmake)
          IO::ERROREXIT("setup phases", "too many end-members to construct " + emname + LIMITTEXT(maxmake), yourfault);
        if (lsq && k != 1) IO::ERROREXIT("setup phases", "several end-member make not allowed in lsqds", yourfault);
        const makegiven before{nmake, makediv, makename, makecoef, makeaction};
        nmake = k;
        liemvector nums{"make nums"}, dens{"make dens"};
        for (long i = 1; i <= k; ++i) {
          const std::string amsg = "action for end-members in making " + emname;
          GSTRING(tclass, token, amsg);
          makeaction[i] = makeaction_of(token);
          if (makeaction[i] != makeactiontype::notspecified) INCKOK(amsg);
          const sstring cname = takename("names of end-members to construct " + emname);
          CHECKNAME(cname);
          if (!pure && !lsq && cname == emname)
            IO::ERROREXIT("setupphases",
                          "names: end-member, " + emname + ", and name in make, " + cname + ", must be different",
                          yourfault);
          // One constituent, one coefficient.
          for (long m = 1; m < i; ++m)
            if (makename[m] == cname) GIVENTWICE(cname, "the make of " + emname + " in " + phasename, false);
          makename[i] = cname;
          takerational("coeffs of end-members to construct " + emname, makenum[i], makeden[i]);
          nums[i] = makenum[i];
          dens[i] = makeden[i];
        }
        if (!overcommon(nums, dens, k, makediv, makecoef))
          IO::ERROREXIT("setup phases", "coefficients too large in making " + emname, yourfault);
        if (given.make && !before.same(makegiven{nmake, makediv, makename, makecoef, makeaction})) twice("make");
        given.make = true;
        break;
      }
      case 5: {
        const smallint nv = ph->nvar;
        liemvector nums{"check nums"}, dens{"check dens"};
        for (long v = 1; v <= nv; ++v) {
          smallint pn = 0, pd = 1;
          takerational("coeffs in x defining pure end-members for " + emname, pn, pd);
          nums[v] = pn;
          dens[v] = pd;
        }
        const smallint olddiv = em->checkdiv;
        const farray<smallint, 1, maxssem> oldcoef = em->checkcoef;
        if (!overcommon(nums, dens, nv, em->checkdiv, em->checkcoef))
          IO::ERROREXIT("setup phases", "check values too fine for " + emname, yourfault);
        if (given.check)
          for (long v = 1; v <= nv; ++v)
            if (!samefraction(oldcoef[v], olddiv, em->checkcoef[v], em->checkdiv)) twice("check");
        given.check = true;
        break;
      }
      case 6:
        // No recipe of its own: another than one given before it.
        if (given.make && nmake != -1) twice("make");
        given.make = true;
        nmake = -1;
        break;
      case 7:
        em->exclude = true;
        break;
      default:
        break;
    }
  }
}

}  // namespace ZQREAD2
