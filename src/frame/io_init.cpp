// Start-up of the I/O layer, the run stamp, the timer and the heap monitor.
#include <ctime>

#include "frame/io.h"

namespace IO {

namespace {

std::string ordinal(long i) {
  const long last2 = i % 100;
  const long last = i % 10;
  const char* ending = "th";
  if (last2 < 11 || last2 > 13) {
    if (last == 1) ending = "st";
    else if (last == 2) ending = "nd";
    else if (last == 3) ending = "rd";
  }
  return (INT2STR(static_cast<extended>(i)) + ending).substr(0, 5);
}

std::string kb(longint n) { return INT2STR(static_cast<extended>(n) / 1024.0L); }

}  // namespace

void MAKECONSTANTS() {
  MACHEPS = 1.0L;
  for (int i = 0; i < 100; ++i) {
    MACHEPS = MACHEPS * 0.5L;
    volatile extended sum = 1.0L + MACHEPS;
    if (sum == 1.0L) break;
  }
  for (long i = 1; i <= maxnth; ++i) NTH[i] = ordinal(i);
  for (long i = 0; i <= maxbit; ++i) BITV[i] = static_cast<longint>(1L << i);
}

void INITIALISEIO(const std::string& version) {
  MAKECONSTANTS();

  CONTROLIO.progname = version;
  DATAOPEN = false;
  WHATSOPEN = CHANNEL::TERMINAL;
  PUTSTR(1, version, 1, CHANNEL::TERMSUMLOG);

  // Every run of a folder writes its log there, and a run holds its files
  // locked for its whole life: a second run stops before it asks or
  // changes anything.
  const std::string logname = LOGNAME();
  CHECKFOLDERFREE(logname);

  READPREFS();

  // The script must not be the log: creating the log would empty it.
  if (!CONTROLIO.scriptfile.empty() && SCRIPTNAME(CONTROLIO.scriptfile) == logname)
    ERROREXIT("initialiseio", "the script file cannot be named like the log file \"jx-log.txt\"",
              yourfault);
  // The log is kept in memory until the run's start-up has checked that no
  // file it reads is named like it (ZQUTE1::STARTOUT creates it).
  if (LOGFILE.f != nullptr) std::fclose(LOGFILE.f);
  LOGFILE = textfile{};
  LOGFILE.name = logname;
  LOGFILE.holding = true;
  FILENAME = LOGFILE.name;
  WHATSOPEN += CHANNEL::LOG;

  PUTSTR(0, "[display/print with fixed width font (eg Monaco)]", 2, CHANNEL::LOG);
  PUTSTR(0, "", 1, CHANNEL::TERMLOG);

  WSTR.clear();
  PSTR.clear();
  OSTR.clear();
  ISTR.clear();
  ICFILEUSED = ITFILEUSED = QKFILEUSED = CSVFILEUSED = CSV2FILEUSED = PSFILEUSED = SVGFILEUSED = false;

  MAKEWHEN();
}

void MAKEWHEN() {
  static const char* days[7] = {" on Sun ", " on Mon ", " on Tue ", " on Wed ", " on Thu ", " on Fri ", " on Sat "};
  static const char* months[12] = {" Jan,", " Feb,", " Mar,", " Apr,", " May,", " Jun,",
                                   " Jul,", " Aug,", " Sep,", " Oct,", " Nov,", " Dec,"};
  FROMTIME = CLOCK();
  const std::time_t t = std::chrono::system_clock::to_time_t(FROMTIME);
  std::tm tm{};
  localtime_r(&t, &tm);
  const int weekday = tm.tm_wday + 1;  // Sunday is 1
  const int month = tm.tm_mon + 1;
  std::string s = INT2STR(tm.tm_hour);
  s += tm.tm_min < 10 ? ".0" : ".";
  s += INT2STR(tm.tm_min);
  s += (weekday >= 1 && weekday <= 7) ? days[weekday - 1] : "noday? ";
  s += INT2STR(tm.tm_mday);
  s += (month >= 1 && month <= 12) ? months[month - 1] : "nomonth?";
  s += INT2STR(tm.tm_year + 1900);
  WHENSTRING = s;
}

void TIMER() {
  TOTIME = CLOCK();
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(TOTIME - FROMTIME).count();
  std::string s = "elapsed = ";
  if (span >= 5000000) {
    s += INT2STR(static_cast<extended>(span / 1000000)) + " secs, n = ";
  } else {
    s += INT2STR(static_cast<extended>(span) / 1000.0L) + " msecs, n = ";
  }
  s += INT2STR(NGEM) + "\n";
  WRITETERMINAL(s);
}

void HEAPINC(const sstring& what, longint bytes) {
  HEAPSIZE += bytes;
  if (CONTROLIO.monitorheap)
    WRITETERMINAL("space allocated for " + what + " is " + kb(bytes) + "k; " + ", heap now " + kb(HEAPSIZE) +
                  "k\n");
}

void HEAPDEC(const sstring& what, longint bytes) {
  HEAPSIZE -= bytes;
  if (CONTROLIO.monitorheap) WRITETERMINAL("space disposed for " + what + "; heap size now " + kb(HEAPSIZE) + "k\n");
}

}  // namespace IO
