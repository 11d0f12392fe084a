// The words that open every settings heading a run prints ("... of bulk
// composition", "... of PT calcs:"), shared by the tests that expect one.
#pragma once

#include <string>

namespace testsupport {

inline const std::string SETTINGSOF = std::string("speci") + "fication of ";

}  // namespace testsupport
