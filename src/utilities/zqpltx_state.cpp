// The drawing component's shared state and its defaults.
#include "utilities/zqpltx.h"

namespace ZQPLTX {

pointtable* POINT = nullptr;
linetable* LINE = nullptr;
smallint NPOINT = 0, NLINE = 0;
areatable AREA;
smallint NA = 0;
smallint NV = 0;
smallint NSYS = 0;
extended XLOW = 0, XHIGH = 0, YLOW = 0, YHIGH = 0;
extended BIGXTICK = 0, STARTX = 0, BIGYTICK = 0, STARTY = 0;
extended SMALLXTICK = 0, SMALLYTICK = 0;
bool SETWINDOW = false, SETBIGTICKS = false, SETSMALLTICKS = false;
smallint NUMBERSIZE = 0;
smallint CIRCLESIZE = 0;
farray<str255, 1, maxinfo> INFO;
smallint NINFO = 0;
IO::strings PHASEO, INEXCESS;
smallint NPHASEO = 0, NINEXCESS = 0;
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
}

}  // namespace ZQPLTX
