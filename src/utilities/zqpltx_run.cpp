// One drawing run: set-up, reading, the network and the picture.
#include "frame/io.h"
#include "utilities/zqpltx.h"

namespace ZQPLTX {

namespace {

void release() {
  if (POINT != nullptr) IO::HEAPDEC("point", static_cast<longint>(sizeof(pointtable)));
  if (LINE != nullptr) IO::HEAPDEC("line", static_cast<longint>(sizeof(linetable)));
  delete POINT;
  delete LINE;
  POINT = nullptr;
  LINE = nullptr;
}

}  // namespace

void OVERALLSETUP() {
  IO::PUTSTR(0, "running at " + IO::WHENSTRING, 1, CHANNEL::LOG);
  release();
  POINT = new pointtable("POINT");
  IO::HEAPINC("point", static_cast<longint>(sizeof(pointtable)));
  LINE = new linetable("LINE");
  IO::HEAPINC("line", static_cast<longint>(sizeof(linetable)));
}

void SVGDRAW() {
  SVGSETUP();
  DOCROSSOVER();
  SETUPLINES();
  if (CONTROLQK.analyse == yes) ANALYSIS();
  if (CONTROLQK.doareas == yes) DOAREAS();
  DRAWBOX();
  DOLINES();
  if (CONTROLQK.docircles == yes) DOCIRCLES();
  IO::PUTSTR(1, "</svg>", 1, CHANNEL::SVG);
}

void PLOTIX() {
  RESETPLTX();
  OVERALLSETUP();
  try {
    READDATA();
    SVGDRAW();
  } catch (...) {
    release();
    throw;
  }
  IO::PUTSTR(1, "plotix running in SOLVARINTH at " + IO::WHENSTRING, 1, CHANNEL::TERMSUMLOG);
  IO::PUTSTR(0, "with diagram in file, " + IO::SVGFILE.name, 1, CHANNEL::TERMSUMLOG);
  release();
  IO::IOCLEANUP();
}

}  // namespace ZQPLTX
