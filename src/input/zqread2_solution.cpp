// One solution phase entry of the a-x file.
#include <cmath>
#include <limits>

#include "frame/constants.h"
#include "input/zqread2.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

namespace {

[[noreturn]] void fail(const char* where, const std::string& message) { IO::ERROREXIT(where, message, yourfault); }

std::string q(const std::string& s) { return "\"" + s + "\""; }

// The highest power of a site fraction an end-member keeps, a smallint.
constexpr smallint highestpower = std::numeric_limits<smallint>::max();

// A pair of the samecoding list written before: true when it is the pair
// once; a full or phase name of another pair stops the run.
bool samecodingagain(const ptype1& p, const sstring& full, const sstring& lname, const sstring& name) {
  sstring sfx = p.suffix, sname, lcopy = lname;
  HANDLEPNAME(lcopy, sname, sfx);
  const smallint byfull = POSITIONIN(full, p.samecodingfull, p.nsamecoding);
  const smallint byname = POSITIONIN(sname, p.samecodingnames, p.nsamecoding);
  if (byfull == 0 && byname == 0) return false;
  if (byfull == byname) return true;
  GIVENTWICE(byfull != 0 ? full : lname, "the samecoding list of " + name, true);
}

// The inside of a name written prefix + inside + ")", else the name itself.
std::string inside(const std::string& n, const char* prefix) {
  const std::string pre = prefix;
  if (n.compare(0, pre.size(), pre) != 0) return n;
  const std::size_t len = n.size() > pre.size() ? n.size() - pre.size() - 1 : 0;
  return n.substr(pre.size(), len);
}

// A van Laar size that is the same at every P and T must be above 0: at or
// below it the phase lies outside the model everywhere. The sizes a fluid
// takes from the volumes of its species (every one of a fluid phase, the
// solvent and CO2 of an aqueous one) are not the file's.
void checksizes(const ptype1& p, const sstring& name, const IO::strings& sizenames) {
  if (p.model != axtype::vanlaar || p.name.compare(0, 5, "fluid") == 0) return;
  const bool aq = p.name.compare(0, 2, "aq") == 0;
  for (long e = 1; e <= p.nprop; ++e) {
    if (aq && (e == 1 || (e == 2 && p.em[2].name == "CO2"))) continue;
    if (p.alphab[e] != 0 || p.alphac[e] != 0 || p.alphaa[e] > 0) continue;
    const std::string value = IO::ANYNO(p.alphaa[e]);
    fail("setupphases", "van Laar size " + sizenames[e] + " of " + name + " = " + value + ": a size must be above 0");
  }
}

extended factorpower(const sftermtype& f) { return static_cast<extended>(f.powern) / f.powerd; }

}  // namespace

// The entry as the file writes it: names, coding, verbatim block, variables,
// proportions, mixing model, site fractions and end-members; then the
// defaults that depend on all of them.
void axreader::READSOLUTION(const sstring& readname) {
  if (NPSS >= maxss) fail("setup phases", "too many ss phases" + LIMITTEXT(maxss));
  ++NPSS;
  ptype1& p = (*PREC1)[NPSS];
  SOLUTIONNAMES(p, readname);
  const sstring name = p.longname;
  const smallint n = takeinteger("no of end-members in " + name);
  if (n < 2) fail("setup phases", "less than 2 end-members in " + name);
  if (n > maxssem) fail("setup phases", "too many end-members in " + name + LIMITTEXT(maxssem));
  p.nvar = static_cast<smallint>(n - 1);
  p.coding = 0;

  SOLUTIONVERBATIM(p, name, SOLUTIONCODING(p, name));

  p.hasorder = false;
  p.modeset = false;
  p.boileddown = false;
  p.scriptguess = false;

  SOLUTIONVARIABLES(p, name);
  SOLUTIONPROPORTIONS(p, n);

  // The pairs of end-members in file order: (1,2), (1,3), .., (n-1,n).
  const long npairs = static_cast<long>(n) * (n - 1) / 2;
  if (npairs > maxw) fail("setup phases", "phase too big for auto gammas");
  p.nw = static_cast<smallint>(npairs);
  pairindex pj{"pair j"}, pk{"pair k"};
  {
    long idx = 0;
    for (long j = 1; j < n; ++j)
      for (long k = j + 1; k <= n; ++k) {
        ++idx;
        pj[idx] = static_cast<smallint>(j);
        pk[idx] = static_cast<smallint>(k);
      }
  }
  SOLUTIONMIXING(p, name, n, pj, pk);
  SOLUTIONSITEFRACTIONS(p, name);
  p.nprop = n;
  SOLUTIONENDMEMBERS(p, name, n);
  checksizes(p, name, alphanames);

  // Default sd of the interaction parameters, scaled by the mean highest
  // power of the end-members' site-fraction terms.
  extended avg = 0;
  for (long i = 1; i <= n; ++i) avg = avg + p.em[i].maxpower;
  avg = avg / n;
  for (long idx = 1; idx <= npairs; ++idx) {
    if (!p.wsddefault[idx]) continue;
    const extended aj = p.model == axtype::vanlaar ? p.alphaa[pj[idx]] : 1;
    const extended ak = p.model == axtype::vanlaar ? p.alphaa[pk[idx]] : 1;
    p.wsd[idx] = avg * p.wsd[idx] * (aj + ak) * 0.5L;
  }

  if (IO::CONTROLIO.strictaxnames) SOLUTIONSTRICTNAMES(p, name, n, pj, pk);

  p.nwpair = 0;
  if (p.model != axtype::ideal) {
    for (long idx = 1; idx <= npairs; ++idx) {
      if (p.nwpair >= maxw) fail("read", "too many gterms");
      ++p.nwpair;
      p.wpair[p.nwpair] = wpairtype{static_cast<smallint>(idx), pj[idx], pk[idx]};
    }
    if (p.nwpair == 0) p.model = axtype::ideal;
  }
}

// The phase's names around its suffix; the name lists of the entry start empty.
void axreader::SOLUTIONNAMES(ptype1& p, const sstring& readname) {
  p.nsamecoding = 0;
  p.ninfo = 0;
  p.longname = readname;
  p.suffix.clear();
  HANDLEPNAME(p.longname, p.name, p.suffix);
  p.fullname = p.name;
  p.sameasname.clear();
  p.sameaslong.clear();
  nvnames = 0;
  nsfnames = 0;
}

// The coding word and, for coding 2, what follows it; false when the older
// data-set generation leaves no room for a verbatim block.
bool axreader::SOLUTIONCODING(ptype1& p, const sstring& name) {
  if (WITHOLDSET) {
    if (tclass == valuetype::astring) {
    } else if (token == "0") {
      INCKOK("coding for " + name);
    } else {
      fail("setupphases", "incorrect info after no of end-members for " + name);
    }
    return false;
  } else {
    if (tclass != valuetype::aninteger) fail("setup phases", "bad encoding for " + name);
    p.coding = takeinteger("coding for " + name);
    if (p.coding != 1 && p.coding != 2) fail("setup phases", "bad encoding for " + name);
    if (p.coding == 1 && !p.suffix.empty()) fail("setup phases", "longpnames not implemented for coding = 1");
  }

  // Coding 2: the full name, the oxygens and the same-coding list.
  if (p.coding == 2) {
    p.fullname = takename("fullname for " + name);
    p.noxygens = takereal("no of oxygens in (ref) formula for " + name);
    if (token == "also" || token == "samecoding") {
      INCKOK("samecoding list for " + name);
      if (NSC >= maxscgroups) fail("setup phases", "too many samecoding groups" + LIMITTEXT(maxscgroups));
      // A script without "samecoding" leaves the count at -1, "not given".
      if (NSC < 0) NSC = 0;
      ++NSC;
      modelphase[NSC] = NPSS;
      ISC[NSC] = 0;
      smallint pairs = 0;
      while (token != "verbatim" && pairs < 10) {
        const sstring full = takename("full name in samecoding list for " + name);
        sstring lname = takename("phase name in samecoding list for " + name);
        ++pairs;
        if (samecodingagain(p, full, lname, name)) continue;
        // The record keeps 6 names and a group 8: refuse more rather than
        // write past either.
        if (p.nsamecoding >= maxsamecoding || ISC[NSC] >= maxscnames)
          fail("setup phases", "too many samecoding names for " + name + LIMITTEXT(maxsamecoding));
        ISC[NSC] = static_cast<smallint>(ISC[NSC] + 1);
        sstring sfx = p.suffix;
        sstring sname;
        HANDLEPNAME(lname, sname, sfx);
        FULLSCNAME(NSC, ISC[NSC]) = full;
        SCNAME(NSC, ISC[NSC]) = sname;
        LONGSCNAME(NSC, ISC[NSC]) = lname;
        ++p.nsamecoding;
        p.samecodingnames[p.nsamecoding] = sname;
        p.samecodingfull[p.nsamecoding] = full;
      }
      if (token != "verbatim") fail("setup phases", "verbatim missing for " + name);
      ISC0[NSC - nscscript] = ISC[NSC];
    } else if (token != "verbatim") {
      fail("setup phases", "no verbatim");
    }
  }

  return true;
}

// The verbatim lines, between "verbatim" and the closing line, framed by "#".
void axreader::SOLUTIONVERBATIM(ptype1& p, const sstring& name, bool allowed) {
  if (allowed && token == "verbatim") {
    p.ninfo = 1;
    p.info[1] = CONTROLJX.magemin == yes ? "# start x-eos: " + name : "#";
    for (;;) {
      bool closing = false;
      const cstring line = READLINE(closing);
      if (p.ninfo >= maxinfo) fail("setupphases", "too many info lines for " + name);
      ++p.ninfo;
      if (closing) {
        p.info[p.ninfo] = "#";
        break;
      }
      p.info[p.ninfo] = line;
    }
    INCKOK("end of verbatim for " + name);
    p.noverbatim = false;
  } else {
    p.noverbatim = true;
  }

}

// The compositional variables: names, guesses or analysis expressions,
// order flags and ranges.
void axreader::SOLUTIONVARIABLES(ptype1& p, const sstring& name) {
  for (long i = 1; i <= p.nvar; ++i) {
    xvartype& xv = p.xvar[i];
    xv.isorder = false;
    const sstring vn = takename(IO::NTH[i] + " variable name");
    // Each variable is a place of its own: a name of two places reaches one.
    for (long j = 1; j < i; ++j)
      if (p.xvar[j].readname == vn) GIVENTWICE(vn, "the variables of " + name, false);
    xv.name = vn;
    xv.readname = vn;
    xv.guess = 0;
    xv.sd = 0;
    if (p.coding == 2) {
      if (tclass == valuetype::areal) fail("setup phases", "with coding = 2, omit starting guesses for " + name);
      if (token == "-") {
        INCKOK("analysis expressions of " + vn);
        xv.numerator.nterms = 0;
        xv.denominator.nterms = 0;
        xv.nnumnames = 0;
        xv.ndennames = 0;
      } else {
        READTERMXYZ(xv.numerator, NPSS, static_cast<smallint>(i), " of numerator in " + vn);
        xv.numnames = xv.names;
        xv.nnumnames = xv.nnames;
        READTERMXYZ(xv.denominator, NPSS, static_cast<smallint>(i), " of denominator in " + vn);
        xv.dennames = xv.names;
        xv.ndennames = xv.nnames;
      }
    } else {
      xv.guess = takereal("guess for " + vn);
      if (xv.guess == 0) fail("setup phases", "guess for " + vn + " is zero");
      if (token == "sd") {
        INCKOK("sd of " + vn);
        xv.sd = takereal("sd of " + vn);
        if (xv.sd < 0 || xv.sd > 1) xv.sd = 0;
      }
    }
    if (token == "isQ" || token == "ODvar") {
      INCKOK("order variable " + vn);
      xv.isorder = true;
    }
    xv.low0 = 11;
    xv.high0 = -11;
    if (token == "range") {
      INCKOK("range of " + vn);
      xv.low0 = takereal("lower limit of " + vn);
      xv.high0 = takereal("upper limit of " + vn);
      if (xv.low0 > xv.high0) fail("read", "lower limit > upper limit (1)");
    }
    xv.low = xv.low0;
    xv.high = xv.high0;
    const std::size_t open = vn.find('(');
    if (open == std::string::npos || open < 1 || open + 2 >= vn.size() || vn.back() != ')')
      fail("setup phases", "varname, " + q(vn) + ", should be in form " + q("xyzname(phasename)"));
    const std::string in = vn.substr(open + 1, vn.size() - open - 2);
    if (in != p.longname) fail("setup phases", "name in " + in + " must be the same as phasename, " + p.longname);
    if (!p.suffix.empty()) xv.name = vn.substr(0, vn.size() - 1 - (p.suffix.size() + 1)) + ")";
    ++nvnames;
    vnames[nvnames] = vn.substr(0, open);
    if (!xv.isorder && (vn[0] == 'Q' || vn[0] == 'N')) xv.isorder = true;
    if (xv.isorder) p.hasorder = true;
  }

}

// The end-member proportions as expressions of the variables.
void axreader::SOLUTIONPROPORTIONS(ptype1& p, smallint n) {
  for (long i = 1; i <= n; ++i) {
    propnames[i] = takename("name of " + IO::NTH[i] + " p var");
    if (POSITIONIN(propnames[i], propnames, i - 1) != 0)
      GIVENTWICE(propnames[i], "the proportions of " + p.longname, false);
    READTERM(p.prop[i], " in " + propnames[i], false, false);
  }

}

// The mixing model: its word, the interaction energies and, for van Laar,
// the asymmetry parameters.
void axreader::SOLUTIONMIXING(ptype1& p, const sstring& name, smallint n, const pairindex& pj, const pairindex& pk) {
  const long npairs = p.nw;
  for (long e = 1; e <= n; ++e) {
    p.alphaa[e] = 1;
    p.alphab[e] = 0;
    p.alphac[e] = 0;
  }
  for (long idx = 1; idx <= npairs; ++idx) {
    p.wname[idx] = "W(" + IO::INT2STR(pj[idx]) + "," + IO::INT2STR(pk[idx]) + ")";
    p.wa[idx] = p.wb[idx] = p.wc[idx] = 0;
    p.wsd[idx] = DEFSDW0P;
    p.wsddefault[idx] = true;
  }
  if (token == "ideal") {
    INCKOK("mixing model of " + name);
    p.model = axtype::ideal;
  } else if (token == "sf" || token == "regular") {
    p.model = axtype::symmetric;
  } else if (token == "asf" || token == "vanlaar") {
    p.model = axtype::vanlaar;
  } else {
    fail("setupphases", "not recognised (should be ideal, sf or asf)");
  }
  if (p.model != axtype::ideal) {
    INCKOK("start of entering w's");
    for (long idx = 1; idx <= npairs; ++idx) {
      const sstring def = p.wname[idx];
      p.wname[idx] = takename("name of " + def);
      if (POSITIONIN(p.wname[idx], p.wname, idx - 1) != 0)
        GIVENTWICE(p.wname[idx], "the interaction energies of " + name, false);
      p.wa[idx] = takereal("a in w=a+bT+cP in " + def);
      p.wb[idx] = takereal("b in w=a+bT+cP in " + def);
      p.wc[idx] = takereal("c in w=a+bT+cP in " + def);
      if (token == "sd") {
        INCKOK("expecting to enter sd(w)");
        p.wsd[idx] = takereal("sd for " + def);
        p.wsddefault[idx] = false;
      }
    }
    if (p.model == axtype::vanlaar) {
      for (long e = 1; e <= n; ++e) {
        const sstring def = "a(" + IO::INT2STR(e) + ")";
        alphanames[e] = takename("name of " + def);
        if (POSITIONIN(alphanames[e], alphanames, e - 1) != 0)
          GIVENTWICE(alphanames[e], "the size parameters of " + name, false);
        p.alphaa[e] = takereal("value of " + def + "a, in a + bT + cP");
        p.alphab[e] = takereal("value of " + def + "b, in a + bT + cP");
        p.alphac[e] = takereal("value of " + def + "c, in a + bT + cP");
      }
    }
  }

}

// The site fractions as expressions of the variables.
void axreader::SOLUTIONSITEFRACTIONS(ptype1& p, const sstring& name) {
  const smallint nsf = takeinteger("no of sf vars for " + name);
  if (nsf < 2) fail("setup phases", "less than 2 sf vars for " + name);
  if (nsf > maxsf) fail("setup phases", "too many  sf vars for " + name + LIMITTEXT(maxsf));
  // A site fraction written twice alike is kept once: end-members reach
  // site fractions by name only.
  smallint kept = 0;
  for (long i = 1; i <= nsf; ++i) {
    const long at = kept + 1;
    p.sfname[at] = takename("name of " + IO::NTH[i] + " sf var");
    READTERM(p.sf[at], " in " + p.sfname[at], false, false);
    const smallint before = POSITIONIN(p.sfname[at], sfnames, kept);
    if (before != 0) {
      if (!SAMETERM(p.sf[before], p.sf[at])) GIVENTWICE(p.sfname[at], "the site fractions of " + name, true);
      continue;
    }
    kept = static_cast<smallint>(at);
    sfnames[kept] = p.sfname[kept];
    nsfnames = kept;
  }
  if (kept < 2) fail("setup phases", "less than 2 sf vars for " + name);
  p.nsf = kept;

}

// The end-members: ideal-mixing terms, then options and charges.
void axreader::SOLUTIONENDMEMBERS(ptype1& p, const sstring& name, smallint n) {
  for (long i = 1; i <= n; ++i) {
    emtype& em = p.em[i];
    em.exclude = false;
    em.name = takename("end-member name in " + name);
    if (POSITIONIN(em.name, emnames, i - 1) != 0) GIVENTWICE(em.name, "the end-members of " + name, false);
    emnames[i] = em.name;
    const std::string nmsg = "normalisation constant in tmf for " + em.name;
    INCKOK(nmsg);
    em.normrational = pclass == valuetype::arational;
    em.norm = IO::GETREAL(pclass, prev, nmsg);
    // The ideal activity is the constant times positive site fractions: at
    // or below 0 it has no logarithm at any composition.
    if (!(em.norm > 0))
      fail("setupphases", "normalisation constant of " + em.name + " in " + name + " = " + prev +
                              ": a constant must be above 0");
    const smallint nt = takeinteger("no of sf terms in tmf for " + em.name);
    if (nt < 1) fail("setup phases", "too few terms in tmf for " + em.name);
    if (nt > maxssem) fail("setup phases", "too many terms in tmf for " + em.name + LIMITTEXT(maxssem));
    em.nsfterm = nt;
    for (long j = 1; j <= nt; ++j) {
      const std::string smsg = "name of " + IO::NTH[j] + " sf term in tmf for " + em.name;
      INCKOK(smsg);
      if (pclass != valuetype::astring) fail("setup phases", prev + " not a " + smsg);
      smallint k = 0;
      if (!IO::MATCHSTRING(prev, sfnames, nsfnames, k)) fail("setup phases", prev + " not a sf name: " + smsg);
      // A factor written twice is a product as written: two sites of one
      // kind give the fraction squared, as its power 2 would.
      em.sfterm[j].sfindex = k;
      takerational(" power for " + IO::NTH[j] + " sf term in tmf for " + em.name, em.sfterm[j].powern,
                   em.sfterm[j].powerd);
      // A power at or below 0 gives an activity that does not vanish with
      // its end-member's site fraction, or grows without bound there.
      if (!(factorpower(em.sfterm[j]) > 0))
        fail("setupphases", "power of " + p.sfname[em.sfterm[j].sfindex] + " in the ideal-mixing term of " +
                                em.name + " in " + name + " = " + prev + ": a power must be above 0");
    }
    // One site fraction written as several factors is one factor whose
    // power is the sum of theirs, for the W sd's as for the activity.
    extended largest = 0;
    long at = 1;
    for (long j = 1; j <= nt; ++j) {
      extended pw = 0;
      for (long k = 1; k <= nt; ++k)
        if (em.sfterm[k].sfindex == em.sfterm[j].sfindex) pw += factorpower(em.sfterm[k]);
      if (j == 1 || pw > largest) {
        largest = pw;
        at = j;
      }
    }
    // nearest, ties to even
    const extended rounded = std::nearbyint(largest);
    if (rounded > highestpower)
      fail("setupphases", "power of " + p.sfname[em.sfterm[at].sfindex] + " in the ideal-mixing term of " + em.name +
                              " in " + name + " = " + IO::INT2STR(rounded) + ": a power must be at most " +
                              IO::INT2STR(highestpower));
    em.maxpower = rounded < 1 ? 1 : static_cast<smallint>(rounded);
    em.dqfcode = -1;
    em.dqfa = em.dqfb = em.dqfc = 0;
    em.nmake = 0;
    em.checkdiv = 0;
    READOPTIONS(false, i);
    extended z1 = 0, z2 = 0;
    if (em.nmake == 0) {
      CHECKNAME(em.name);
      if (!em.name.empty() && (em.name.back() == '-' || em.name.back() == '+'))
        fail("setupphases", "charged species not allowed as end-members");
    } else {
      CHARGES(em.makename, em.nmake, false, z1, z2);
    }
    em.td[TDSLOT::CHARGE1] = z1;
    em.td[TDSLOT::CHARGE2] = z2;
  }

}

// With strict a-x names: variable, proportion, asymmetry and interaction
// names must name this phase and its end-members.
void axreader::SOLUTIONSTRICTNAMES(const ptype1& p, const sstring& name, smallint n, const pairindex& pj,
                                   const pairindex& pk) {
  const long npairs = p.nw;
  for (long i = 1; i <= p.nvar; ++i) {
    const sstring& vn = p.xvar[i].readname;
    const std::size_t s = vnames[i].size();
    if (vn.size() <= s || vn[s] != '(' || vn.back() != ')')
      fail("setupphases", "name in varname not of form xyz(min)");
  }
  for (long i = 1; i <= n; ++i) {
    const std::string in = inside(propnames[i], "p(");
    if (in != p.em[i].name)
      fail("setupphases", "name in propname, " + q(in) + " does not match " + p.em[i].name + " in " + name);
  }
  if (p.model == axtype::vanlaar) {
    for (long i = 1; i <= n; ++i) {
      const std::string in = inside(alphanames[i], "a(");
      if (in != p.em[i].name)
        fail("setupphases",
             "name in alphaname, " + q(in) + " does not match " + q(p.em[i].name) + " in " + name);
    }
  }
  if (p.model != axtype::ideal) {
    for (long idx = 1; idx <= npairs; ++idx) {
      const std::string in = inside(p.wname[idx], "W(");
      const std::size_t comma = in.find(',');
      if (comma == std::string::npos) fail("setupphases", "W not strictsyntax");
      const std::string a = in.substr(0, comma), b = in.substr(comma + 1);
      const sstring& ej = p.em[pj[idx]].name;
      const sstring& ek = p.em[pk[idx]].name;
      const bool match = (IO::SAMESTRING(a, ej) && IO::SAMESTRING(b, ek)) ||
                         (IO::SAMESTRING(a, ek) && IO::SAMESTRING(b, ej));
      if (!match)
        fail("setupphases", "names in  W name, " + q(p.wname[idx]) + " do not match " + q(ej) + " and " + q(ek) +
                                " in " + name);
    }
  }
}

}  // namespace ZQREAD2
