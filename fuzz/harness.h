// The libFuzzer side of the drivers: a private scratch directory, the
// terminal into a sink that watches for the internal-fault block, and the
// verdict. A clean fatal stop is the program doing its job; an internal
// fault (an index outside a table, a "shouldn't have happened") is a
// finding, and so is anything the sanitizers catch.
#pragma once

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzzdrivers.h"

namespace fuzzharness {

// The terminal's text is of no interest here: it is dropped.
inline ssize_t terminalwrite(void*, const char*, size_t n) { return static_cast<ssize_t>(n); }

inline std::filesystem::path& scratch() {
  static std::filesystem::path p;
  return p;
}

inline void setup() {
  try {
    scratch() = testsupport::makescratch("solvarinth-fuzz");
  } catch (const std::exception& e) {
    fprintf(stderr, "%s\n", e.what());
    abort();
  }
  std::filesystem::current_path(scratch());
  cookie_io_functions_t io{};
  io.write = terminalwrite;
  IO::TERMOUT = fopencookie(nullptr, "w", io);
  if (IO::TERMOUT == nullptr) abort();
  atexit([] {
    std::error_code ec;
    std::filesystem::current_path("/tmp", ec);
    std::filesystem::remove_all(scratch(), ec);
  });
}

// Files of the last input go, so that names the input made up do not pile up.
inline void clearscratch() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(scratch(), ec)) std::filesystem::remove_all(e.path(), ec);
}

template <class Driver>
int one(const uint8_t* data, size_t size, Driver driver) {
  static bool ready = false;
  if (!ready) {
    setup();
    ready = true;
  }
  clearscratch();
  const fuzzdrive::outcome o = driver(std::string(reinterpret_cast<const char*>(data), size));
  fflush(IO::TERMOUT);
  if (fuzzdrive::internalfault(o)) {
    fprintf(stderr, "internal fault: -- run bombed in %s : %s\n", o.where.c_str(), o.message.c_str());
    abort();
  }
  return 0;
}

}  // namespace fuzzharness

#define SOLVARINTH_FUZZ_TARGET(driver)                                     \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    return fuzzharness::one(data, size, driver);                           \
  }
