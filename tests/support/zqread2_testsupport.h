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
    testsupport::freshstate();
    ZQUTE1::SETUP();
    datasetnames();
    // No same-coding groups and no mode guesses in the script.
    NSC = 0;
    NMODEGUESS = 0;
    IO::CONTROLIO.axfile = "t";
  }
  void TearDown() override {
    ZQUTE1::CLEANUP();
    testsupport::freshstate();
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
