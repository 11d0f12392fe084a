// A drawing run in a scratch directory: the data file is written as
// qk-t.txt, the picture goes to jx-t.svg and the log to jx-log.txt.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "iotestsupport.h"
#include "rings.h"
#include "utilities/zqpltx.h"

namespace drawtest {

// A file of two-value rows (x first), its records, areas and control section.
inline std::string qk(const std::string& records, const std::string& control = "window 0 10 400 800\nbigticks 0 0 0 0\n",
                      const std::string& areas = "") {
  return "2 4 1 2\n" + records + "*\n" + areas + "*\n" + control + "*\n";
}

class Drawing {
 public:
  Drawing() {
    testsupport::freshstate();
    IO::CONTROLIO.scriptfile = "t";
    IO::CONTROLIO.progname = "SOLVARINTH 3.51";
    IO::WHENSTRING = "12.00 on Mon 7 Dec,2026";
    testsupport::openchannel(3, "jx-log.txt");
    testsupport::openchannel(10, "jx-t.svg");
    ZQPLTX::RESETPLTX();
    ZQPLTX::OVERALLSETUP();
  }
  ~Drawing() { testsupport::freshstate(); }

  // Reads the file; "" or how the run ended.
  std::string read(const std::string& file) {
    dir.write("qk-t.txt", file);
    return testsupport::fatal([] { ZQPLTX::READDATA(); });
  }
  // Reads the file and sets up the network.
  std::string network(const std::string& file) {
    std::string r = read(file);
    if (!r.empty()) return r;
    return testsupport::fatal([] {
      ZQPLTX::DOCROSSOVER();
      ZQPLTX::SETUPLINES();
    });
  }
  // A whole drawing run; "" or how it ended. The picture is in svg().
  std::string plot(const std::string& file) {
    dir.write("qk-t.txt", file);
    return testsupport::fatal([] { ZQPLTX::PLOTIX(); });
  }
  std::string svg() {
    IO::FLUSHER();
    return dir.read("jx-t.svg");
  }
  std::string log() {
    IO::FLUSHER();
    return dir.read("jx-log.txt");
  }

  testsupport::Terminal term;
  testsupport::ScratchDir dir;
};

inline const ZQPLTX::linetype& line(long i) { return (*ZQPLTX::LINE)[i]; }
inline const ZQPLTX::pointtype& point(long i) { return (*ZQPLTX::POINT)[i]; }

}  // namespace drawtest
