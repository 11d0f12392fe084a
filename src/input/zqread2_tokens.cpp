// The token reader of the a-x file and the small services around it: raw
// lines, names, option keywords and the charge test of compounds.
#include <cstdint>
#include <cstdio>

#include "frame/bytes.h"
#include "input/zqread2.h"
#include "frame/zqute1.h"

using namespace ZQGLOBAL;

namespace ZQREAD2 {

std::string LIMITTEXT(smallint n) { return ZQUTE1::MAXSTR(n); }

cstring READLINE(bool& closing) {
  std::string line;
  if (!IO::READLINE(IO::DATA, line)) {
    IO::WRITETERMINAL("\"" + line + "\"\n");
    IO::ERROREXIT("readline", "problems reading for header/verbatim", yourfault);
  }
  if (line.size() > 255) line.resize(255);
  std::size_t i = 0, j = line.size();
  while (i < j && line[i] == ' ') ++i;
  while (j > i && line[j - 1] == ' ') --j;
  line = line.substr(i, j - i);
  closing = line.size() >= 4 && (line.compare(0, 4, "verb") == 0 || line.compare(0, 4, "head") == 0);
  if (closing) return cstring();
  if (!line.empty() && line[0] == '%') line.erase(0, 1);
  if (line.size() > cstringlength) line.resize(cstringlength);
  return line;
}

sstring GSTRING(valuetype vt, const sstring& token, const std::string& what) {
  if (vt != valuetype::astring) IO::ERROREXIT("reading", "expecting a name; got: " + token + " - " + what, yourfault);
  return token;
}

void HANDLEPNAME(sstring& longname, sstring& shortname, sstring& suffix) {
  shortname = longname;
  const std::size_t at = longname.find('_');
  if (at != std::string::npos) {
    if (at == 0 || at + 1 == longname.size())
      IO::ERROREXIT("long2shortpname", "separator char in pname in wrong place in " + longname, yourfault);
    shortname = longname.substr(0, at);
    const sstring after = longname.substr(at + 1);
    if (suffix.empty()) {
      suffix = after;
    } else if (suffix != after) {
      longname = shortname + "_" + suffix;
    }
  } else if (!suffix.empty()) {
    longname = shortname + "_" + suffix;
  }
  // A name made longer than a name may be would be cut where it is stored
  // and then match nothing.
  if (longname.size() > static_cast<std::size_t>(sstringlength))
    IO::ERROREXIT("long2shortpname", "phase name " + longname + " too long" + LIMITTEXT(sstringlength), yourfault);
}

bool ISPHNAME(const sstring& name, smallint& position) {
  position = 0;
  // Every record of the name is entered as written: two records that only
  // the cut makes one stop the run rather than give the first one's data.
  for (long i = 1; i <= NTP; ++i) {
    if (!IO::SAMESTRING(name, PHNAMES[i])) continue;
    IO::KEEPNAME("the data set's end-members", PHWRITTEN[i]);
    if (position == 0) position = static_cast<smallint>(i);
  }
  return position != 0;
}

namespace {
// The next line of the a-x file with words in it into words[1..nwords];
// false at the end of the file.
bool nonemptyline(IO::strings& words, smallint& nwords) {
  while (!IO::ENDOFFILE(IO::DATA)) {
    IO::READSTRINGS(IO::DATA, words, nwords, true);
    if (nwords > 0) return true;
  }
  return false;
}
}  // namespace

void axreader::STARTTOKENS() {
  const bool found = nonemptyline(words, nwords);
  if (!found || words[1][0] == '*') IO::ERROREXIT("setup phases", "not enough in file", yourfault);
  // A one-line file: its last token must still be followed by an end.
  if (IO::ENDOFFILE(IO::DATA) && nwords < maxwords) {
    ++nwords;
    words[nwords] = sstring();
  }
  cursor = 0;
  token = words[1];
  tclass = IO::WHATISSTRING(token);
  prev.clear();
  pclass = valuetype::anemptystring;
}

void axreader::INCKOK(const std::string& what) {
  prev = token;
  pclass = tclass;
  if (pclass == valuetype::anemptystring) IO::ERROREXIT("reading", "unexpected end of input: " + what, yourfault);
  ++cursor;
  if (cursor >= nwords) {
    const bool found = nonemptyline(words, nwords);
    if (found && words[1][0] != '*') {
      cursor = 0;
      token = words[1];
    } else {
      nwords = 0;
      cursor = 0;
      token.clear();
    }
  } else {
    token = words[cursor + 1];
  }
  tclass = IO::WHATISSTRING(token);
}

smallint axreader::takeinteger(const std::string& what) {
  INCKOK(what);
  return IO::GETINTEGER(pclass, prev, what);
}

extended axreader::takereal(const std::string& what) {
  INCKOK(what);
  return IO::GETREAL(pclass, prev, what);
}

void axreader::takerational(const std::string& what, smallint& p, smallint& q) {
  INCKOK(what);
  IO::GETRATIONAL(pclass, prev, p, q, what);
}

sstring axreader::takename(const std::string& what) {
  INCKOK(what);
  return GSTRING(pclass, prev, what);
}

void axreader::CHECKNAME(const sstring& name) {
  smallint k = 0;
  if (!ISPHNAME(name, k)) IO::ERROREXIT("reading", name + " not in \"" + PDATAFILENAME + "\"", yourfault);
}

smallint axreader::GETOPTION(const sstring& word, smallint& sub) {
  static const char* const dqfwords[6][4] = {
      {"DQF", "dqf", "deltaG", "\xC6G"},
      {"\xC6G(make)", "deltaG(make)", "delG(make)", nullptr},
      {"\xC6G(mod)", "deltaG(mod)", "delG(mod)", nullptr},
      {"\xC6G(od)", "deltaG(od)", "delG(od)", nullptr},
      {"\xC6G(tran)", "deltaG(tran)", "delG(tran)", nullptr},
      {"\xC6G(rcal)", "deltaG(rcal)", "delG(rcal)", nullptr},
  };
  for (int s = 0; s < 6; ++s)
    for (int k = 0; k < 4 && dqfwords[s][k] != nullptr; ++k)
      if (word == dqfwords[s][k]) {
        sub = static_cast<smallint>(s);
        return 3;
      }
  if (word == "make") return 4;
  if (word == "check") return 5;
  if (word == "exclude") return 7;
  return 0;
}

namespace {

bool charged(const sstring& n) { return !n.empty() && (n.back() == '+' || n.back() == '-'); }

// The number of "+" or "-" that end the name; its first character never
// counts.
long charge(const sstring& n) {
  long z = 0;
  for (std::size_t i = n.size(); i > 1 && (n[i - 1] == '+' || n[i - 1] == '-'); --i) ++z;
  return z;
}

}  // namespace

void axreader::CHARGES(const makestype& names, smallint nmake, bool pure, extended& z1, extended& z2) {
  z1 = 0;
  z2 = 0;
  bool compound = false;
  for (long i = 1; i <= nmake; ++i) compound = compound || charged(names[i]);
  if (!compound) return;
  if (nmake != 2) IO::ERROREXIT("setupphases", "must be just 2 charged species in a compound", yourfault);
  if (!charged(names[1]) || !charged(names[2]))
    IO::ERROREXIT("setupphases", "all species in a compound must be charged", yourfault);
  const long za = charge(names[1]), zb = charge(names[2]);
  const std::int64_t n1 = makenum[1], d1 = makeden[1], n2 = makenum[2], d2 = makeden[2];
  const bool meanform = pure ? n1 * d2 == n2 * d1 : n1 * d2 + n2 * d1 == d1 * d2;
  if (!meanform) IO::ERROREXIT("setupphases", "compound not in mean form", yourfault);
  if (za * n1 * d2 != zb * n2 * d1) IO::ERROREXIT("setupphases", "compound not charged-balanced", yourfault);
  z1 = static_cast<extended>(za);
  z2 = static_cast<extended>(zb);
}

}  // namespace ZQREAD2
