// Pieces of the made-up data sets that several end-to-end tests write
// inline: the oxides by their element codes, and the record of a phase of
// one oxide.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

namespace madeup {

// An oxide component: its element code, metals and oxygens a formula.
struct oxide {
  int code;
  int metals, oxygens;
  std::string name;
};

// The 21 oxides in the standard order of the components.
inline const std::vector<oxide>& oxides21() {
  static const std::vector<oxide> table = {
      {1, 1, 2, "SiO2"},  {3, 2, 3, "Al2O3"}, {7, 1, 1, "CaO"},   {5, 1, 1, "MgO"},  {4, 1, 1, "FeO"},
      {9, 2, 1, "K2O"},   {8, 2, 1, "Na2O"},  {2, 1, 2, "TiO2"},  {6, 1, 1, "MnO"},  {13, 2, 1, "Cl2O"},
      {17, 1, 2, "SO2"},  {15, 1, 1, "NiO"},  {16, 1, 2, "ZrO2"}, {18, 1, 1, "CuO"}, {19, 2, 3, "Cr2O3"},
      {20, 2, 1, "F2O"},  {21, 2, 5, "P2O5"}, {22, 1, 1, "BaO"},  {23, 2, 1, "Li2O"}, {24, 2, 1, "Rb2O"},
      {25, 1, 1, "SrO"}};
  return table;
}

// The record of a phase of one formula of oxide o, with constant H and S
// and a volume of 1 J/bar.
inline std::string oneoxiderecord(const std::string& name, const std::string& description, const oxide& o, double H,
                                 double S) {
  return name + "  " + description + "  1  " + std::to_string(o.code) + " " + std::to_string(o.metals) + ".0  10 " +
         std::to_string(o.oxygens) + ".0  0\n0\n" + e2e::fixed(H, 12) + " " + e2e::fixed(S, 12) + " 1.0 0 0 0 0\n0 0 0\n\n";
}

}  // namespace madeup
