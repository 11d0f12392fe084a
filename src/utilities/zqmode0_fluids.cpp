// The fluid tables on the table grid: RT ln f of H2O (with its lists on the
// drawing data file) and of CO2, of the corresponding-states gases, and the
// volumes of H2O and CO2.
#include <functional>
#include <string>
#include <vector>

#include "frame/bytes.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "model/zqcalc1.h"
#include "utilities/zqmode0.h"

using namespace ZQGLOBAL;

namespace ZQMODE0 {

namespace {

using fluidvalue = std::function<extended(extended, extended)>;

const std::string listindent = "   ";  // opens a line that goes on with a list of the drawing data

struct grid {
  emvector p{"grid P"}, t{"grid T"};
  smallint np = 0, nt = 0;
};

// One table: heading, the temperatures in degrees C, one row per pressure.
// With rtlnf set, every row also goes on the drawing data file as a row of
// the rtlnfh2o list.
void table(const grid& g, const std::string& heading, smallint pwidth, const fluidvalue& value, bool rtlnf) {
  IO::PUTSTR(1, heading, 2, CHANNEL::TERMSUMLOG);
  std::vector<std::vector<extended>> v(static_cast<std::size_t>(g.np + 1),
                                       std::vector<extended>(static_cast<std::size_t>(g.nt + 1)));
  for (long i = 1; i <= g.np; ++i)
    for (long j = 1; j <= g.nt; ++j) v[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = value(g.p[i], g.t[j]);
  // The table in as many blocks of temperatures as the line's length needs,
  // each list row going on in the next line.
  IO::PUTTABLE(
      1 + g.np, g.nt,
      [&](long row, std::string& line) {
        if (row == 1) {
          IO::ADDSTR("kbar", 7, line);
          line += std::string(" ") + utf8text::degree_s + "C";
        } else {
          IO::ADDREAL(g.p[row - 1], 1, true, pwidth, line);
          line += "   ";
        }
      },
      [&](long row, long j, std::string& line) {
        if (row == 1)
          IO::ADDINT(g.t[j] - CONST::KELVIN, 8, line);
        else
          IO::ADDREAL(v[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(j)], 3, true, 8, line);
      },
      0, CHANNEL::TERMSUMLOG);
  if (!rtlnf) return;
  for (long i = 1; i <= g.np; ++i)
    IO::PUTROW(
        0, i == 1 ? "rtlnfh2o = {{" : "{", g.nt,
        [&](long j, std::string& list) {
          IO::ADDREAL(v[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], 3, true, 8, list);
          list += j < g.nt ? "," : i < g.np ? "}," : "}};";
        },
        1, CHANNEL::DRAWING, "", listindent);
}

void askgrid(grid& g) { GETPTGRID(g.p, g.np, g.t, g.nt); }

extended h2ortlnf(extended p, extended t) {
  extended v = 0, rtlnf = 0;
  ZQCALC1::H2OPROPS(p, t, v, rtlnf);
  return rtlnf;
}

extended co2rtlnf(extended p, extended t) {
  extended v = 0, rtlnf = 0;
  ZQCALC1::CO2PROPS(p, t, v, rtlnf);
  return rtlnf;
}

fluidvalue corrstate(extended pcrit, extended tcrit) {
  return [pcrit, tcrit](extended p, extended t) {
    extended v = 0, rtlnf = 0;
    ZQCALC1::CORRSTATE(p, t, pcrit, tcrit, v, rtlnf);
    return rtlnf;
  };
}

}  // namespace

void FUGACITIES() {
  grid g;
  askgrid(g);
  IO::PUTROW(
      1, "flp = {", g.np,
      [&](long i, std::string& line) {
        IO::ADDREAL(g.p[i], 3, true, 8, line);
        line += i < g.np ? "," : "};";
      },
      1, CHANNEL::DRAWING, "", listindent);
  IO::PUTROW(
      1, "flt = {", g.nt,
      [&](long j, std::string& line) {
        IO::ADDREAL(g.t[j], 1, true, 8, line);
        line += j < g.nt ? "," : "};";
      },
      2, CHANNEL::DRAWING, "", listindent);
  table(g, "RT ln f(H2O)", 8, h2ortlnf, true);
  table(g, "RT ln f(CO2)", 7, co2rtlnf, false);
}

void FUGACITIES2() {
  grid g;
  askgrid(g);
  table(g, "RT ln f(CH4)", 7, corrstate(CONST::PCRITCH4, CONST::TCRITCH4), false);
  table(g, "RT ln f(H2)", 7, corrstate(CONST::PCRITH2, CONST::TCRITH2), false);
  table(g, "RT ln f(H2S)", 7, corrstate(CONST::PCRITH2S, CONST::TCRITH2S), false);
  table(g, "RT ln f(S2)", 7, corrstate(CONST::PCRITS2, CONST::TCRITS2), false);
}

void VOLUMES() {
  grid g;
  askgrid(g);
  table(
      g, "V(H2O)", 7,
      [](extended p, extended t) {
        extended v = 0, rtlnf = 0;
        ZQCALC1::H2OPROPS(p, t, v, rtlnf);
        return v;
      },
      false);
  table(
      g, "V(CO2)", 7,
      [](extended p, extended t) {
        extended v = 0, rtlnf = 0;
        ZQCALC1::CO2PROPS(p, t, v, rtlnf);
        return v;
      },
      false);
}

}  // namespace ZQMODE0
