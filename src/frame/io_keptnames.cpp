// Names as written and names as kept. A word is kept to its first 22
// characters, so two names that differ only after that would be one name
// to every look-up, and the one found would be whichever stands first. In
// one pass each kept name of that length stands for one name as written;
// a second name written otherwise that the cut makes the same stops the
// run naming both, and a name that only the cut shortens reads as before.
#include <map>
#include <utility>
#include <vector>

#include "frame/io.h"

namespace IO {

namespace {

// The words of the line split last that were cut, by place, as written.
std::vector<std::pair<smallint, std::string>> cutwords;
// The pass's kept names of full length, each with the name written for it.
std::map<sstring, std::string> keptfrom;

}  // namespace

void NEWSPLIT() { cutwords.clear(); }

void NOTECUT(smallint k, const std::string& written) { cutwords.emplace_back(k, written); }

std::string WRITTENWORD(smallint k, const sstring& kept) {
  for (const auto& [place, written] : cutwords)
    if (place == k) return written;
  return kept;
}

void KEEPNAME(const std::string& written) {
  if (written.size() < static_cast<std::size_t>(sstringlength)) return;
  const auto [at, fresh] = keptfrom.emplace(MAKESSTRING(written), written);
  if (!fresh && at->second != written)
    ERROREXIT("keepname",
              at->second + " and " + written + " are one name when cut to " + std::to_string(sstringlength) +
                  " characters",
              yourfault);
}

sstring KEPTNAME(const std::string& written) {
  KEEPNAME(written);
  return MAKESSTRING(written);
}

void KEEPWORDS(const strings& words, smallint n) {
  for (smallint k = 1; k <= n; ++k)
    if (words[k].size() == static_cast<std::size_t>(sstringlength) && WHATISSTRING(words[k]) == valuetype::astring)
      KEEPNAME(WRITTENWORD(k, words[k]));
}

void RESETKEPTNAMES() {
  cutwords.clear();
  keptfrom.clear();
}

}  // namespace IO
