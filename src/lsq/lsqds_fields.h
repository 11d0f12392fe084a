// What the file writers of calc mode 9 share: a file's lines built in
// memory with every number checked, so that a value that cannot be written
// stops the run before the file exists.
#pragma once

#include <string>
#include <vector>

#include "frame/io.h"
#include "frame/types.h"

namespace LSQDS {

// The fields of the printed tables (experiments, results), through the
// program's own number printing: a real with places decimals, a whole
// number, a text, each right-justified in width.
namespace tablefields {
inline std::string real(extended x, smallint places, smallint width) {
  std::string s;
  IO::ADDREAL(x, places, true, width, s);
  return s;
}
inline std::string whole(extended x, smallint width) {
  std::string s;
  IO::ADDINT(x, width, s);
  return s;
}
inline std::string text(const std::string& t, smallint width) {
  std::string s;
  IO::ADDSTR(t, width, s);
  return s;
}
}  // namespace tablefields

// x in fixed-point notation with places decimals, rounded as the program's
// number printing rounds; a zero keeps its decimals ("0.000").
std::string FIXEDTEXT(extended x, smallint places);

struct fileimage {
  const char* where;       // the writer, for a fatal stop
  std::string record;      // the end-member whose values are being written
  std::vector<std::string> lines;
  std::string line;

  explicit fileimage(const char* w) : where(w) {}
  void text(const std::string& s) { line += s; }
  // A real with places decimals right-justified in width; a number that
  // fills its field gets one blank before it, so that no two numbers touch.
  void real(extended x, smallint places, smallint width, const std::string& field);
  // A whole number (x rounded) right-justified in width, likewise.
  void integer(extended x, smallint width, const std::string& field);
  void eol();
  // Stops the run, naming field and record, when x is not a finite number.
  void checked(extended x, const std::string& field) const;
  // Creates the file name (ATEXT1), writes the lines and closes it; the
  // name is left in IO::FILENAME.
  void write(const std::string& name);

 private:
  void place(const std::string& t, smallint width);
};

}  // namespace LSQDS
