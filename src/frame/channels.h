// The output channels of IO::PUTSTR: the bit of each channel and its mask,
// and the sums that writers use most. A mask names the channels a line goes
// to; a channel whose file is not open drops it.
#pragma once

#include "frame/types.h"

namespace CHANNEL {

// Bit numbers, as IO::WHATSOPEN and the channel table count them.
constexpr smallint TERMINALBIT = 0;  // standard output
constexpr smallint WINDOWBIT = 1;    // text window; never opened
constexpr smallint SUMMARYBIT = 2;   // summary file (IO::OUT)
constexpr smallint LOGBIT = 3;       // log file (IO::LOGFILE)
constexpr smallint DETAILSBIT = 4;   // details file (IO::ICFILE)
constexpr smallint AXINFOBIT = 5;    // a-x information file (IO::ITFILE)
constexpr smallint DRAWINGBIT = 6;   // drawing data file (IO::QKFILE)
constexpr smallint CSVBIT = 7;       // first csv file
constexpr smallint CSV2BIT = 8;      // second csv file
constexpr smallint FURTHERBIT = 9;   // a further file; never opened
constexpr smallint SVGBIT = 10;      // graphics file
constexpr smallint FIRSTFILEBIT = SUMMARYBIT;   // first channel written to a file
constexpr smallint FIRSTOPTIONALBIT = DETAILSBIT;  // first file removed when unused
constexpr smallint LASTBIT = SVGBIT;

// Masks of single channels.
constexpr longint TERMINAL = 1L << TERMINALBIT;
constexpr longint WINDOW = 1L << WINDOWBIT;
constexpr longint SUMMARY = 1L << SUMMARYBIT;
constexpr longint LOG = 1L << LOGBIT;
constexpr longint DETAILS = 1L << DETAILSBIT;
constexpr longint AXINFO = 1L << AXINFOBIT;
constexpr longint DRAWING = 1L << DRAWINGBIT;
constexpr longint CSV = 1L << CSVBIT;
constexpr longint CSV2 = 1L << CSV2BIT;
constexpr longint FURTHER = 1L << FURTHERBIT;
constexpr longint SVG = 1L << SVGBIT;

// The usual sums.
constexpr longint TERMLOG = TERMINAL | LOG;                // 9: what the user sees, kept in the log
constexpr longint SUMLOG = SUMMARY | LOG;                  // 12: the run's two kept files
constexpr longint TERMSUMLOG = TERMINAL | SUMMARY | LOG;   // 13: results

}  // namespace CHANNEL
