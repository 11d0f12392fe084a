// The drawing component's shared state and its defaults.
#include "utilities/zqpltx.h"

namespace ZQPLTX {

pointtable* POINT = nullptr;
linetable* LINE = nullptr;
// Defaults of the counts and settings: RESETPLTX below; the tables are
// made once and kept.
smallint NPOINT, NLINE;
areatable AREA;
smallint NA;
smallint NV;
smallint NSYS;
extended XLOW, XHIGH, YLOW, YHIGH;
extended BIGXTICK, STARTX, BIGYTICK, STARTY;
extended SMALLXTICK, SMALLYTICK;
bool SETWINDOW, SETBIGTICKS, SETSMALLTICKS;
smallint NUMBERSIZE;
smallint CIRCLESIZE;
farray<str255, 1, maxinfo> INFO;
smallint NINFO;
IO::strings PHASEO, INEXCESS;
smallint NPHASEO, NINEXCESS;
controlqktype CONTROLQK;
svginfotype SVGINFO;

// A drawing depends on its own file alone: the info lines and the two
// switches that the control section may leave unnamed start afresh with
// each run, as they are at program start.
void RESETPLTX() {
  NPOINT = NLINE = NA = 0;
  NV = NSYS = 0;
  XLOW = XHIGH = YLOW = YHIGH = 0;
  BIGXTICK = STARTX = BIGYTICK = STARTY = 0;
  SMALLXTICK = SMALLYTICK = 0;
  SETWINDOW = SETBIGTICKS = SETSMALLTICKS = false;
  NUMBERSIZE = CIRCLESIZE = 0;
  NINFO = 0;
  NPHASEO = NINEXCESS = 0;
  CONTROLQK = controlqktype{};
  SVGINFO = svginfotype{};
  KEEPPOINTS(nullptr);
  FORGETCUTLINES();
}

}  // namespace ZQPLTX
