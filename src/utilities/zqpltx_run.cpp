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

namespace {

// The records as read, for a picture made again.
struct asread {
  networkcopy network;
  areatable areas;
  smallint na = 0;
};

void back(const asread& r) {
  PUTBACKNETWORK(r.network);
  AREA = r.areas;
  NA = r.na;
  KEEPPOINTS(nullptr);
}

// How a try sets up the lines: as written, no point moved and no line
// joined to another; with the rows' rounding joining lines at their points;
// the same with each point at its rows' finer place; the same as joined
// with the points written inside the window within their rounding of the
// frame put on it, the last resort.
enum class setup { aswritten, joined, finer, ontoframe };

// The picture up to its polygons, checked; false where the set-up asked
// for cannot be made. Whether a stop came while the polygons were made.
bool topolygons(setup how, bool parted, bool& inareas) {
  inareas = false;
  SVGSETUP();
  DOCROSSOVER();
  if (!SETUPLINES(how == setup::finer, how == setup::aswritten, how == setup::ontoframe)) return false;
  if (CONTROLQK.analyse == yes) ANALYSIS();
  inareas = true;
  if (CONTROLQK.doareas == yes) DOAREAS(parted);
  return true;
}

// topolygons with its writes kept in `writes`: whether it ran through,
// else the stop it came to. A fault of the program's own is never passed
// over for another picture.
bool tried(setup how, bool parted, IO::heldwrites& writes, bool& inareas, IO::runend& stop) {
  writes.clear();
  const IO::HOLDWRITES hold(writes);
  try {
    return topolygons(how, parted, inareas);
  } catch (const IO::runend& end) {
    stop = end;
    inareas = inareas && end.fault == yourfault;
    return false;
  }
}

// Whether two points lie at one place as the set-up left them: only then
// can parting them give another picture.
bool pointsatoneplace() {
  for (smallint i = 1; i <= NPOINT; ++i)
    for (smallint j = static_cast<smallint>(i + 1); j <= NPOINT; ++j)
      if ((*POINT)[i].x == (*POINT)[j].x && (*POINT)[i].y == (*POINT)[j].y) return true;
  return false;
}

}  // namespace

// The frame, the lines and the circles over the polygons, and the end of
// the document.
void drawframeandlines() {
  DRAWBOX();
  DOLINES();
  if (CONTROLQK.docircles == yes) DOCIRCLES();
  IO::PUTSTR(1, "</svg>", 1, CHANNEL::SVG);
}

// The picture of the data as written, where its lines meet only where
// they end at points and its polygons tile the window: the data ask for no
// point to be moved and no line to be joined to another. A fault of the
// program's own is never passed over.
bool drawnaswritten(IO::heldwrites& writes) {
  bool inareas = false;
  IO::runend stop;
  if (tried(setup::aswritten, false, writes, inareas, stop)) return true;
  if (stop.fault != yourfault && !stop.message.empty()) IO::ERROREXIT(stop.where, stop.message, stop.fault);
  return false;
}

void SVGDRAW() {
  // A point is often written coarser than the rows of its lines. Where the
  // polygons of the points as written cannot be made or do not tile the
  // window, the picture with each such point at its rows' finer place is
  // tried, and then the points as written with any two at one place parted
  // (each line's end there meeting the ends at its own point): the first
  // of these that is drawn is written, and where none is, what the first
  // wrote and its stop come out as they always have.
  const asread records{COPYNETWORK(), AREA, NA};
  IO::heldwrites first, second;
  IO::runend stop, again;
  bool inareas = false;
  if (drawnaswritten(first)) {
    IO::WRITEHELD(first);
    drawframeandlines();
    return;
  }
  back(records);
  if (!tried(setup::joined, false, first, inareas, stop)) {
    bool drawn = false;
    if (inareas) {
      bool inareasagain = false;
      const bool oneplace = pointsatoneplace();
      back(records);
      drawn = tried(setup::finer, false, second, inareasagain, again);
      if (!drawn && oneplace) {
        back(records);
        drawn = tried(setup::joined, true, second, inareasagain, again);
      }
      if (!drawn) {
        back(records);
        drawn = tried(setup::ontoframe, false, second, inareasagain, again);
      }
    }
    if (!drawn) {
      IO::WRITEHELD(first);
      IO::ERROREXIT(stop.where, stop.message, stop.fault);
    }
    first.swap(second);
  }
  IO::WRITEHELD(first);
  drawframeandlines();
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
