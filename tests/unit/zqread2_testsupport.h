// Set-up shared by the tests of the a-x file reader and its expressions.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "frame/io.h"
#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "input/zqread2.h"
#include "frame/zqute1.h"

namespace axtest {

inline std::string fixture(const std::string& name) {
  std::ifstream in(std::string(SOLVARINTH_FIXTURES) + "/ax/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void ordinals() {
  for (long i = 1; i <= 400; ++i) {
    const long t = i % 100, u = i % 10;
    const char* s = (t >= 11 && t <= 13) ? "th" : u == 1 ? "st" : u == 2 ? "nd" : u == 3 ? "rd" : "th";
    IO::NTH[i] = IO::INT2STR(i) + s;
  }
}

// The data set's end-member names that the made-up files use.
inline void datasetnames() {
  using namespace ZQGLOBAL;
  const std::initializer_list<const char*> names = {"q",   "ky",  "mt",  "hem", "Na+", "Cl-", "Ca++",
                                                    "fo",  "fa",  "di",  "hed", "jd",  "alm", "py",
                                                    "H2O", "CO2", "CH4", "O2",  "N2",  "buffer"};
  NTP = 0;
  for (const char* n : names) PHNAMES[++NTP] = n;
  PDATAFILENAME = "jx-ds62t.txt";
}

// Tables allocated as a run has them, the globals the reader reads at
// their defaults, a scratch directory as the working directory.
class AxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    using namespace ZQGLOBAL;
    testsupport::resetio();
    ZQUTE1::SETUP();
    ordinals();
    datasetnames();
    CALCMODE = calcmodetype::nlecalc;
    CONTROLJX = controljxtype{};
    WITHOLDSET = false;
    NSC = 0;
    NMODEGUESS = 0;
    BUFFERC.clear();
    BUFFERDEL = 0;
    IO::CONTROLIO.axfile = "t";
    NPSS = 0;
  }
  void TearDown() override {
    if (IO::DATA.f != nullptr) std::fclose(IO::DATA.f);
    IO::DATA = IO::textfile{};
    ZQUTE1::CLEANUP();
    ZQGLOBAL::CALCMODE = calcmodetype::nlecalc;
    testsupport::resetio();
  }

  // Reads text as the a-x file of the pass; the fatal message, or "" when
  // the file was read.
  std::string run(const std::string& text, const std::string& answers = "") {
    dir.write("jx-t.txt", text);
    testsupport::Answers a(answers);
    try {
      ZQREAD2::SETUPPHASES();
    } catch (const IO::runend& e) {
      return e.where + ": " + e.message;
    }
    return "";
  }

  testsupport::ScratchDir dir;
  testsupport::Terminal term;
};

}  // namespace axtest
