// Names as written and names as kept. A name is kept to its first 22
// characters, so two names of one list that differ only after that would be
// one name to its look-up, and the one found would be whichever stands
// first. In one pass each kept name of full length in a list stands for one
// name as written; a second name of that list written otherwise that the
// cut makes the same stops the run naming both. A name looked up is never
// entered: the look-up finds the one entry its cut stands for, so a name
// only the cut shortens, or a name of another list, reads as before.
#include <map>
#include <utility>
#include <vector>

#include "frame/io.h"

namespace IO {

namespace {

// The words of the line split last that were cut, by place, as written.
std::vector<std::pair<smallint, std::string>> cutwords;
// The pass's kept names of full length by list, each with the name written
// for it.
std::map<std::pair<std::string, sstring>, std::string> keptfrom;

}  // namespace

void NEWSPLIT() { cutwords.clear(); }

void NOTECUT(smallint k, const std::string& written) { cutwords.emplace_back(k, written); }

std::string WRITTENWORD(smallint k, const sstring& kept) {
  for (const auto& [place, written] : cutwords)
    if (place == k) return written;
  return kept;
}

void KEEPNAME(const std::string& list, const std::string& written) {
  if (written.size() < static_cast<std::size_t>(sstringlength)) return;
  const auto [at, fresh] = keptfrom.emplace(std::make_pair(list, MAKESSTRING(written)), written);
  if (!fresh && at->second != written)
    ERROREXIT("keepname",
              at->second + " and " + written + " are one name when cut to " + std::to_string(sstringlength) +
                  " characters",
              yourfault);
}

sstring KEPTNAME(const std::string& list, const std::string& written) {
  KEEPNAME(list, written);
  return MAKESSTRING(written);
}

void RESETKEPTNAMES() {
  cutwords.clear();
  keptfrom.clear();
}

}  // namespace IO
