// Reading made-up script files in a scratch directory, with the terminal
// captured and the answers fed from a string.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "iotestsupport.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_reset.h"
#include "input/zqscript.h"

namespace scripttest {

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<testsupport::ScratchDir>();
    term_ = std::make_unique<testsupport::Terminal>();
    testsupport::freshstate();
    IO::CONTROLIO.autoexit = false;
    IO::CONTROLIO.calcmode = 9;  // no mandatory keywords unless a test asks for them
    IO::CONTROLIO.pagewidth = 250;
    IO::DATAFILENAMESUFFIX = "tst";
    ZQGLOBAL::MAINLOOP = 1;
  }
  void TearDown() override {
    IO::RESETIO();
    answers_.reset();
    term_.reset();
    scratch_.reset();
  }

  // Opens the script as the run's start-up would for the first pass.
  void open(const std::string& text) {
    scratch_->write("jx-tst.txt", text);
    if (IO::DATA.f != nullptr) std::fclose(IO::DATA.f);
    IO::DATA = IO::textfile{};
    IO::DATA.name = "jx-tst.txt";
    IO::DATA.f = std::fopen("jx-tst.txt", "rb");
    IO::SCRIPTOPEN = true;
    IO::WHATSOPEN = 1;  // a fatal end of an earlier read closed the channels
  }

  void read(const std::string& text, const std::string& answers = "") {
    open(text);
    answers_.reset();
    answers_ = std::make_unique<testsupport::Answers>(answers);
    ZQSCRIPT::READCONTROLJX();
  }

  // Reads a script that must end the run; answers the exit.
  IO::runend fatal(const std::string& text, const std::string& answers = "") {
    try {
      read(text, answers);
    } catch (const IO::runend& e) {
      return e;
    }
    ADD_FAILURE() << "the run did not end";
    return IO::runend{};
  }

  std::string out() { return term_->text(); }
  bool says(const std::string& s) { return out().find(s) != std::string::npos; }

  std::unique_ptr<testsupport::ScratchDir> scratch_;
  std::unique_ptr<testsupport::Terminal> term_;
  std::unique_ptr<testsupport::Answers> answers_;
};

}  // namespace scripttest
