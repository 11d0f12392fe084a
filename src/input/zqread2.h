// The a-x model file reader: the phase tables PREC1 and PREC0 from the
// a-x file, read as one stream of tokens, and their set-up against the
// script of the pass.
#pragma once

#include <string>

#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQREAD2 {

// Reads the a-x file of the pass and fits its models to the script.
void SETUPPHASES();

// One raw line of the open a-x file for the header and verbatim blocks;
// closing tells a line that ends the block (returned empty).
cstring READLINE(bool& closing);
// The token as a name; a number is fatal.
sstring GSTRING(valuetype vt, const sstring& token, const std::string& what);
// The long and short forms of a phase name around its "_".
void HANDLEPNAME(sstring& longname, sstring& shortname, sstring& suffix);
// Position of name among the data set's end-member names (0 when absent).
bool ISPHNAME(const sstring& name, smallint& position);

// The state of one reading of the a-x file and the routines that work on
// it, which SETUPPHASES runs in order. A few word lists: kept on the heap.
struct axreader {
  // The current line, the cursor and the lookahead token with the one just
  // consumed: a value is always taken from the previous token.
  IO::strings words{"ax words"};
  smallint nwords = 0;
  smallint cursor = 0;
  sstring token, prev;
  valuetype tclass = valuetype::anemptystring, pclass = valuetype::anemptystring;

  // Names of the solution phase being read, in file order.
  IO::strings vnames{"ax vnames"}, propnames{"ax propnames"}, sfnames{"ax sfnames"}, emnames{"ax emnames"},
      alphanames{"ax alphanames"};
  smallint nvnames = 0, nsfnames = 0;

  smallint column = 0;
  // Same-coding groups the script declared before the file was read, and
  // the solution phase that declared each group of the file.
  smallint nscscript = 0;
  farray<smallint, 1, maxscgroups> modelphase{"modelphase"};
  // Variables marked as zero for ZTERM.
  farray<bool, 1, maxssem> zeroed{"zeroed"};

  // The make recipe of the entry being read, as written.
  farray<smallint, 1, maxmake> makenum{"makenum"}, makeden{"makeden"};

  bool atend() const { return tclass == valuetype::anemptystring; }

  // Opening: tables, header lines, the file, its first line of words.
  void OPEN();
  // Starts reading the a-x file already open on IO::DATA at its first line.
  void STARTTOKENS();
  void INCKOK(const std::string& what);
  // Consumers of one token: INCKOK, then the value of the consumed token.
  smallint takeinteger(const std::string& what);
  extended takereal(const std::string& what);
  void takerational(const std::string& what, smallint& p, smallint& q);
  sstring takename(const std::string& what);

  void READHEADER();
  void READENTRIES();
  void READPURE(const sstring& name);
  void READSOLUTION(const sstring& name);
  // The parts of a solution entry, in file order.
  using pairindex = farray<smallint, 1, maxw>;
  void SOLUTIONNAMES(ptype1& p, const sstring& readname);
  bool SOLUTIONCODING(ptype1& p, const sstring& name);
  void SOLUTIONVERBATIM(ptype1& p, const sstring& name, bool allowed);
  void SOLUTIONVARIABLES(ptype1& p, const sstring& name);
  void SOLUTIONPROPORTIONS(ptype1& p, smallint n);
  void SOLUTIONMIXING(ptype1& p, const sstring& name, smallint n, const pairindex& pj, const pairindex& pk);
  void SOLUTIONSITEFRACTIONS(ptype1& p, const sstring& name);
  void SOLUTIONENDMEMBERS(ptype1& p, const sstring& name, smallint n);
  void SOLUTIONSTRICTNAMES(const ptype1& p, const sstring& name, smallint n, const pairindex& pj,
                           const pairindex& pk);
  void READOPTIONS(bool pure, long index);
  void READTERM(termtype& term, const std::string& what, bool single, bool withcoef);
  void READTERMXYZ(termtype& term, smallint phase, smallint variable, const std::string& what);
  bool ZTERM(termtype& term);
  void WRITERAWTERM(const sstring& name, const termtype& term);
  void CHECKNAME(const sstring& name);
  smallint GETOPTION(const sstring& word, smallint& sub);
  // The charge test of a make recipe: z1, z2 of a charged compound, else 0.
  void CHARGES(const makestype& names, smallint nmake, bool pure, extended& z1, extended& z2);
  void FLUIDHANDLING();
  // The rest of the set-up against the script, after the whole file.
  void SETUPAGAINSTSCRIPT();

  // Reads the whole file: OPEN, header, entries and the end checks.
  void READFILE();
};

// The text " (max = n) " of limit messages.
std::string LIMITTEXT(smallint n);

// Ends the run where a name stands twice in one list of one model: where
// names the list and its model; values says the list takes a name twice
// when written alike, and this one was not.
[[noreturn]] void GIVENTWICE(const std::string& name, const std::string& where, bool values);
// Whether two expressions are written alike, term by term and part by part,
// their rationals compared by value.
bool SAMETERM(const termtype& a, const termtype& b);
// The position of name among list[1..n], 0 when absent.
template <class List>
smallint POSITIONIN(const sstring& name, const List& list, long n) {
  for (long i = 1; i <= n; ++i)
    if (list[i] == name) return static_cast<smallint>(i);
  return 0;
}

// Ends the run where the a-x file takes no DQF on an end-member of nmake
// constituents: a DQF that stands nowhere in the calculation must not be
// taken from a script either.
void CHECKDQFALLOWED(smallint nmake);

}  // namespace ZQREAD2
