// The unit-test binary starts every repetition from the defaults of every
// group of shared state, as the program's own start does.
#include <gtest/gtest.h>

#include "frame/zqglobal_reset.h"
#include "model/zqcalc1.h"
#include "utilities/zqpltx.h"

namespace {

class FreshProcess : public ::testing::Environment {
 public:
  void SetUp() override {
    ZQGLOBAL::RESETALL();
    ZQCALC1::RESETFLUIDCACHE();
    ZQCALC1::RESETHELDCHOICES();
    ZQPLTX::RESETPLTX();
  }
};

[[maybe_unused]] ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new FreshProcess);

}  // namespace
