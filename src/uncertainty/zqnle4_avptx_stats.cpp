// The statistics of a Monte Carlo pass of avPT+: quantiles, medians, the
// two-sided normalised median absolute deviations, the box of the 95%
// ellipse and the correlation whose ellipse holding most samples is
// smallest; and the samples taken back to the scale of the input
// uncertainties.
#include <cmath>
#include <string>

#include "frame/bytes.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqmath1.h"
#include "uncertainty/zqnle4.h"
#include "uncertainty/zqnle4_avptplus.h"

namespace ZQNLE4 {

namespace {

const std::string degc = std::string(macroman::degree_s) + "C";
const std::string plusminus = "\xB1";  // the program's byte for the plus-minus sign

constexpr smallint labelwidth = 20;
constexpr smallint cellwidth = 8;

// The median of v[1..n], sorted ascending.
extended sortedmedian(const sortvector& v, smallint n) {
  return n % 2 == 0 ? (v[n / 2] + v[n / 2 + 1]) / 2 : v[(n + 1) / 2];
}

// Starts a table row in w with its label.
std::string& label(const std::string& text) {
  std::string& w = IO::WSTR;
  w.clear();
  IO::ADDSTR(text, -labelwidth, w);
  return w;
}
void cell(extended x, smallint places) { IO::ADDREAL(x, places, true, cellwidth, IO::WSTR); }
void put(smallint before) { IO::PUTSTR(before, IO::WSTR, 1, CHANNEL::TERMSUMLOG); }

std::string num(extended x, smallint places) {
  std::string s;
  IO::ADDREAL(x, places, true, 0, s);
  return s;
}

}  // namespace

extended avptplusstate::CONVP(extended p) const { return UFAC == 1 ? p : (p - (1 - UFAC) * PNOM) / UFAC; }

extended avptplusstate::CONVT(extended t) const { return UFAC == 1 ? t : (t - (1 - UFAC) * TNOM) / UFAC; }

void avptplusstate::FINDNMAD2(extended m, extended& low, extended& high) {
  const smallint n = NSAMPLE;
  smallint nlow = 0;
  for (long k = 1; k <= n; ++k)
    if (SORTWORK[k] < m) ++nlow;
  // Half of each side's samples, counted from the bottom of the list. The
  // last sample ends the search as a failure even where it makes up the
  // half: a deviation resting on the extreme sample says nothing of the
  // mid-part of the data.
  smallint count = 0, k = 0;
  for (;;) {
    ++k;
    if (SORTWORK[k] < m) ++count;
    if (k >= n) IO::ERROREXIT("findnmad2", "problem finding lownmad", yourfault);
    if (count == nlow / 2) break;
  }
  low = (m - SORTWORK[k]) / NMADQUANTILE;
  count = 0;
  k = 0;
  for (;;) {
    ++k;
    if (SORTWORK[k] > m) ++count;
    if (k >= n) IO::ERROREXIT("findnmad2", "problem finding highnmad", yourfault);
    if (count == (n - nlow) / 2) break;
  }
  high = (SORTWORK[k] - m) / NMADQUANTILE;
}

// The sorted copy of one sample set in SORTWORK, with its quantiles.
void avptplusstate::sortsamples(const sortvector& v, extended& lo95, extended& hi95) {
  const smallint n = NSAMPLE;
  for (long k = 1; k <= n; ++k) SORTWORK[k] = v[k];
  ZQMATH1::SORT(SORTWORK, n);
  lo95 = SORTWORK[ZQMATH1::QI(CI95LOW, n)];
  hi95 = SORTWORK[ZQMATH1::QI(CI95HIGH, n)];
}

std::string avptplusstate::ufacsuffix() const {
  return UFAC != 1 ? " (with ufac = " + num(UFAC, 3) + ")" : std::string();
}

// avP+ and avT+: one sample set, P or T.
void avptplusstate::PRINTMCONE(bool full) {
  using namespace ZQGLOBAL;
  const bool isp = AVPPLUS;
  const smallint d = isp ? 3 : 2;  // decimals of the table's cells
  const std::string unit = isp ? " kbar" : " " + degc;
  extended lo95 = 0, hi95 = 0, med = 0, nlow = 0, nhigh = 0;
  sortsamples(isp ? PSAMPLE : TSAMPLE, lo95, hi95);
  IO::PUTSTR(1, std::string(isp ? "the 95% ci on avP+ is: " : "the 95% ci on avT+ is: ") + num(lo95, 2) + " to " +
                    num(hi95, 2) + unit + ufacsuffix(),
             1, CHANNEL::TERMSUMLOG);
  if (UFAC == 1) {
    IO::PUTSTR(0,
               isp ? "in the context of P range of data: " + num(PMIN, 2) + " to " + num(PMAX, 2) + " kbar"
                   : "in the context of T range of data: " + num(TMIN, 1) + " to " + num(TMAX, 1) + degc,
               1, CHANNEL::TERMSUMLOG);
  } else {
    lo95 = isp ? CONVP(lo95) : CONVT(lo95);
    hi95 = isp ? CONVP(hi95) : CONVT(hi95);
    IO::PUTSTR(0, "    which converts to: " + num(lo95, 2) + " to " + num(hi95, 2) + unit, 1, CHANNEL::TERMSUMLOG);
  }
  if (isp)
    PLO95 = lo95, PHI95 = hi95;
  else
    TLO95 = lo95, THI95 = hi95;
  if (!full) return;
  med = sortedmedian(SORTWORK, NSAMPLE);
  FINDNMAD2(isp ? PNOM : TNOM, nlow, nhigh);
  med = isp ? CONVP(med) : CONVT(med);
  nlow /= UFAC;
  nhigh /= UFAC;
  if (isp)
    PMED = med, PNMADLOW = nlow, PNMADHIGH = nhigh;
  else
    TMED = med, TNMADLOW = nlow, TNMADHIGH = nhigh;
  const bool withx = CONTROLJX.avptpluswithxco2 == yes;
  std::string& w = label(isp ? "at " + num(AVPFIXEDT, 1) + " " + degc : "at " + num(AVTFIXEDP, 2) + " kbar");
  IO::ADDSTR(isp ? "P kbar" : "T " + degc, cellwidth, w);
  if (withx) IO::ADDSTR("x(CO2)", cellwidth, w);
  IO::ADDSTR("sigfit", cellwidth, w);
  put(1);
  label(isp ? "avP+" : "avT+");
  cell(isp ? PNOM : TNOM, d);
  if (withx)
    cell(isp ? SUMPTTERMS(PNOM, AVPFIXEDT, XCO2COEFF, IPOW, JPOW) : SUMPTTERMS(AVTFIXEDP, TNOM, XCO2COEFF, IPOW, JPOW),
         3);
  cell(SIGFIT, 2);
  put(0);
  label("median mc");
  cell(med, d);
  put(0);
  label("mid 95% ci");
  cell((lo95 + hi95) / 2, d);
  put(0);
  IO::ADDSTR(isp ? "sd(P)" : "sd(T)", cellwidth, UFAC == 1 ? label("") : label("linear approx"));
  put(1);
  label("from the 95% ci");
  cell((hi95 - lo95) / CI95WIDTH, d);
  IO::WSTR += "  symmetry about mid assumed";
  put(0);
  label("2-sided nMAD: low");
  cell(nlow, d);
  IO::WSTR += "  from the mid-part of the data";
  put(0);
  label("            : high");
  cell(nhigh, d);
  put(0);
  if (isp)
    IO::PUTSTR(1,
               "nominally, avP+ = " + num((lo95 + hi95) / 2, 2) + " " + plusminus + " " + num((hi95 - lo95) / 2, 2) +
                   " kbar, at T = " + num(AVPFIXEDT, 1),
               1, CHANNEL::TERMSUMLOG);
  else
    IO::PUTSTR(1,
               "nominally, avT+ = " + num((lo95 + hi95) / 2, 1) + " " + plusminus + " " + num((hi95 - lo95) / 2, 1) +
                   " " + degc + ", at P = " + num(AVTFIXEDP, 1) + " kbar",
               1, CHANNEL::TERMSUMLOG);
  IO::WSTR.clear();
}

// The correlation r whose ellipse through 90% of the samples (sds SDP and
// SDT about the mid-points) has the smallest area.
void avptplusstate::BESTCORRELATION() {
  const smallint n = NSAMPLE;
  const long k90 = std::lrint(ELLIPSESHARE * n);  // halves to even
  extended best = NOAREA;
  RBEST = NORBEST;
  extended r = RSEARCHFROM;
  do {
    r += RSEARCHSTEP;
    const extended sq = std::sqrt(1 - r * r);
    for (long k = 1; k <= n; ++k) {
      const extended dp = CONVP(PSAMPLE[k]) - PMID;
      const extended dt = CONVT(TSAMPLE[k]) - TMID;
      SORTWORK[k] = SDP / (SDT * sq) * dt * dt + SDT / (SDP * sq) * dp * dp - 2 * r / sq * dp * dt;
    }
    ZQMATH1::SORT(SORTWORK, n);
    if (k90 >= 1 && SORTWORK[k90] < best) {
      best = SORTWORK[k90];
      RBEST = r;
    }
  } while (!(r > RSEARCHTO));
}

void avptplusstate::PRINTMCPT(bool full) {
  using namespace ZQGLOBAL;
  const smallint n = NSAMPLE;
  sortsamples(PSAMPLE, PLO95, PHI95);
  PMED = sortedmedian(SORTWORK, n);
  FINDNMAD2(PNOM, PNMADLOW, PNMADHIGH);
  sortsamples(TSAMPLE, TLO95, THI95);
  TMED = sortedmedian(SORTWORK, n);
  FINDNMAD2(TNOM, TNMADLOW, TNMADHIGH);
  PMID = (PLO95 + PHI95) / 2;
  TMID = (TLO95 + THI95) / 2;
  PBOXLO = PMID - ELLIPSEWIDEN * (PMID - PLO95);
  PBOXHI = PMID + ELLIPSEWIDEN * (PHI95 - PMID);
  TBOXLO = TMID - ELLIPSEWIDEN * (TMID - TLO95);
  TBOXHI = TMID + ELLIPSEWIDEN * (THI95 - TMID);
  IO::PUTSTR(0,
             "95% ci ellipse is inscribed in: " + num(PBOXLO, 2) + " to " + num(PBOXHI, 2) + " kbar; and T = " +
                 num(TBOXLO, 2) + " to " + num(TBOXHI, 2) + degc + ufacsuffix(),
             1, CHANNEL::TERMSUMLOG);
  if (UFAC == 1) {
    IO::PUTSTR(0,
               "in the context of PT range of data: " + num(PMIN, 2) + " to " + num(PMAX, 2) + " kbar; " +
                   num(TMIN, 1) + " to " + num(TMAX, 1) + degc,
               1, CHANNEL::TERMSUMLOG);
  } else {
    for (extended* p : {&PLO95, &PHI95, &PMID, &PBOXLO, &PBOXHI}) *p = CONVP(*p);
    for (extended* t : {&TLO95, &THI95, &TMID, &TBOXLO, &TBOXHI}) *t = CONVT(*t);
    IO::PUTSTR(0,
               "             which converts to: " + num(PBOXLO, 2) + " to " + num(PBOXHI, 2) + " kbar; and T = " +
                   num(TBOXLO, 2) + " to " + num(TBOXHI, 2) + degc,
               1, CHANNEL::TERMSUMLOG);
  }
  if (!full) return;
  PMED = CONVP(PMED);
  TMED = CONVT(TMED);
  for (extended* v : {&PNMADLOW, &PNMADHIGH, &TNMADLOW, &TNMADHIGH}) *v /= UFAC;
  SDP = (PHI95 - PLO95) / CI95WIDTH;
  SDT = (THI95 - TLO95) / CI95WIDTH;
  BESTCORRELATION();
  const bool withx = CONTROLJX.avptpluswithxco2 == yes;
  std::string& w = label("");
  IO::ADDSTR("P kbar", cellwidth, w);
  IO::ADDSTR("T " + degc, cellwidth, w);
  if (withx) IO::ADDSTR("x(CO2)", cellwidth, w);
  IO::ADDSTR("sigfit", cellwidth, w);
  put(1);
  label("avPT+");
  cell(PNOM, 3);
  cell(TNOM, 2);
  if (withx) cell(SUMPTTERMS(PNOM, TNOM, XCO2COEFF, IPOW, JPOW), 3);
  cell(SIGFIT, 2);
  put(0);
  label("median mc");
  cell(PMED, 3);
  cell(TMED, 2);
  put(0);
  label("mid 95% ci");
  cell(PMID, 3);
  cell(TMID, 2);
  put(0);
  std::string& sdhead = label("");
  for (const char* h : {"sd(P)", "sd(T)", "corr"}) IO::ADDSTR(h, cellwidth, sdhead);
  put(1);
  label("from the 95% ci");
  cell(SDP, 3);
  cell(SDT, 2);
  cell(RBEST, 2);
  IO::WSTR += "  symmetry about mid assumed";
  put(0);
  label("2-sided nMAD: low");
  cell(PNMADLOW, 3);
  cell(TNMADLOW, 2);
  IO::WSTR += "          from the mid-part of the data";
  put(0);
  label("            : high");
  cell(PNMADHIGH, 3);
  cell(TNMADHIGH, 2);
  put(0);
  IO::PUTSTR(1,
             "nominally, avPT+ = " + num(PMID, 2) + " " + plusminus + " " + num((PBOXHI - PBOXLO) / 2, 2) +
                 " kbar, and " + num(TMID, 1) + " " + plusminus + " " + num((TBOXHI - TBOXLO) / 2, 1) + " " + degc +
                 ", with corr = " + num(RBEST, 2),
             1, CHANNEL::TERMSUMLOG);
  IO::WSTR.clear();
}

void avptplusstate::PRINTMC(bool full) {
  // A pass without samples has no statistics; its failure line already
  // says "good = 0".
  if (NSAMPLE < 1) return;
  if (AVPPLUS || AVTPLUS)
    PRINTMCONE(full);
  else
    PRINTMCPT(full);
}

}  // namespace ZQNLE4
