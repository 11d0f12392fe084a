// Runs a stage of the topology analysis or the area filling on a network
// set up from a drawing data file, in the window 0..10 x 400..800 of
// drawtest::qk.
#pragma once

#include <functional>
#include <string>

#include "zqpltx_testsupport.h"

namespace areatest {

// Four lines from one invariant point to the four edges: the fields
// a b d, a b d c, a b c and a b around it.
constexpr const char* fourfield =
    "i1 a b - c d invariant 5 600\n"
    "u1 a b d - c i1 end 5 600 5 900\n"
    "u2 a b c - d i1 end 5 600 -5 600\n"
    "u3 a b - c i1 end 5 600 5 300\n"
    "u4 a b - d i1 end 5 600 15 600\n";

struct outcome {
  std::string end;     // how the run ended, "" when the stage returned
  std::string listed;  // the terminal before the stop's own message
};

inline outcome run(drawtest::Drawing& d, const std::string& file, const std::function<void()>& stage) {
  const std::string net = d.network(file);
  if (!net.empty()) return {"network: " + net, d.term.text()};
  const std::string end = testsupport::fatal(stage);
  std::string t = d.term.text();
  const std::size_t stop = t.find("\n-- run bombed");
  return {end, stop == std::string::npos ? t : t.substr(0, stop)};
}

inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The text from the first "from" to the next "to" after it, both included.
inline std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t a = text.find(from);
  if (a == std::string::npos) return "";
  const std::size_t b = text.find(to, a + from.size());
  return b == std::string::npos ? "" : text.substr(a, b + to.size() - a);
}

}  // namespace areatest
