// Schreinemakers stability of intersections and of the reactions no printed
// intersection involved, and the uncertainty of an intersection's P and T.
#include <cmath>

#include "frame/channels.h"
#include "frame/constants.h"
#include "frame/io.h"
#include "frame/zqglobal.h"
#include "frame/zqglobal_refinder.h"
#include "frame/zqute1.h"
#include "model/zqcalc1.h"
#include "model/zqcalc2.h"
#include "model/zqcalc2_pseudo.h"
#include "reactions/zqptx.h"

using namespace ZQGLOBAL;
using IO::WSTR;

namespace ZQPTX {

namespace {

// The side of reaction j with the higher Gibbs energy at the point, among the
// end-members not in excess.
IO::longint3 sideset(smallint j, extended P, extended T, extended xco2, extended xh2o) {
  extended dV = 0, dmudT = 0, dmu = 0;
  ZQCALC1::CALCDMU(j, dV, dmudT, dmu, P, T, xco2, xh2o);
  IO::longint3 s;
  IO::BCLEAR2(s);
  for (smallint e = 1; e <= NNE; ++e) {
    const smallint c = (*R)(j, e);
    if (dmu >= 0 ? c > 0 : c < 0) IO::BSET2(s, e);
  }
  return s;
}

}  // namespace

bool BSHARE3(const IO::longint3& a, const IO::longint3& b) {
  return IO::BAND(a.w1, b.w1) != 0 || IO::BAND(a.w2, b.w2) != 0 || IO::BAND(a.w3, b.w3) != 0;
}

bool BWITHIN3(const IO::longint3& a, const IO::longint3& b) {
  return IO::BAND(a.w1, b.w1) == a.w1 && IO::BAND(a.w2, b.w2) == a.w2 && IO::BAND(a.w3, b.w3) == a.w3;
}

void SETPSEUDO(extended lna, extended mu) {
  switch (DIAGRAMMODE) {
    case diagramtype::plnacalc:
    case diagramtype::tlnacalc: ZQCALC2::SETLNAPSEUDO(lna); break;
    case diagramtype::pmucalc:
    case diagramtype::tmucalc: ZQCALC2::SETMUPSEUDO(mu); break;
    default: break;
  }
}

bool ISTABLE(smallint i, extended x, extended y) {
  extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0;
  SETIPTX(P, T, xco2, xh2o, lna, mu, x, y);
  const IO::longint3& ib = IBIT[i];
  for (smallint j = 1; j <= NR; ++j) {
    if (!BSHARE3(RBIT[j], ib) || BWITHIN3(RBIT[j], ib)) continue;
    SETPSEUDO(lna, mu);
    if (IO::BSUBSET2(sideset(j, P, T, xco2, xh2o), ib)) return false;
  }
  return true;
}

void RSTABLE(const brvector& involved) {
  smallint N = 0;
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc:
      switch (CALCVARIABLE) {
        case calcvariabletype::calcpressure: N = NLT; break;
        case calcvariabletype::calctemperature: N = NLP; break;
        default: IO::ERROREXIT("rstable", "unknown calcvariable", myfault);
      }
      break;
    case diagramtype::pxcalc:
    case diagramtype::txcalc: N = NLX; break;
    case diagramtype::plnacalc:
    case diagramtype::tlnacalc: N = NLLNA[1]; break;
    case diagramtype::pmucalc:
    case diagramtype::tmucalc: N = NLMU[1]; break;
    default: IO::ERROREXIT("rstable", "unknown diagrammode", myfault);
  }
  bool titled = false;
  for (smallint k = 1; k <= NR; ++k) {
    if (involved[k]) continue;
    smallint m = 0;
    extended v = 0;
    for (smallint b = 1; b <= 2 && m == 0; ++b)
      for (smallint mm = 1; mm <= N; ++mm) {
        const extended y = b == 1 ? RLINE1(k, mm) : RLINE2(k, mm);
        if (ZQUTE1::INRANGE(y, PTMODE)) {
          m = mm;
          v = y;
          break;
        }
      }
    extended P = FIXEDP, T = FIXEDT, xco2 = FIXEDXCO2, xh2o = FIXEDXH2O, lna = 0, mu = 0;
    bool stable = true;
    if (m != 0) {
      switch (DIAGRAMMODE) {
        case diagramtype::ptcalc:
          if (CALCVARIABLE == calcvariabletype::calcpressure)
            T = LT[m], P = v;
          else
            P = LP[m], T = v;
          break;
        case diagramtype::pxcalc: P = v, xco2 = LXCO2[m], xh2o = 1 - LXCO2[m]; break;
        case diagramtype::txcalc: T = v, xco2 = LXCO2[m], xh2o = 1 - LXCO2[m]; break;
        case diagramtype::plnacalc: P = v, lna = LLNA(1, m); break;
        case diagramtype::tlnacalc: T = v, lna = LLNA(1, m); break;
        case diagramtype::pmucalc: P = v, mu = LMU(1, m); break;
        case diagramtype::tmucalc: T = v, mu = LMU(1, m); break;
      }
      for (smallint j = 1; j <= NR && stable; ++j) {
        if (j == k || !BSHARE3(RBIT[j], RBIT[k])) continue;
        SETPSEUDO(lna, mu);
        if (IO::BSUBSET2(sideset(j, P, T, xco2, xh2o), RBIT[k])) stable = false;
      }
    }
    if (!titled) {
      IO::PUTSTR(1, "----------------------------------------------------", 1, CHANNEL::TERMSUMLOG);
      IO::PUTSTR(0, "Stability of reactions not involved in intersections :", 2, CHANNEL::TERMSUMLOG);
      titled = true;
    }
    if (m != 0) ZQCALC2::TURNREACTION(k, P, T, xco2, xh2o, lna, mu);
    // A reaction text too long to follow the word goes whole in the next line.
    const std::string word = m == 0 ? "*not known*" : stable ? "<= stable =>" : "metastable";
    IO::PUTROW(
        0, "", 2,
        [&](long f, std::string& line) {
          if (f == 1)
            IO::ADDSTR(word, -13, line);
          else
            IO::ADDSTR(RLINES[k], 0, line);
        },
        1, CHANNEL::TERMSUMLOG, "", std::string(13, ' '));
  }
}

void INTERSECTIONPTX(smallint r1, smallint r2, extended x, extended y, extended& sdp, extended& sdt, extended& cor) {
  extended P = 0, T = 0, xco2 = 0, xh2o = 0, lna = 0, mu = 0;
  SETIPTX(P, T, xco2, xh2o, lna, mu, x, y);
  switch (DIAGRAMMODE) {
    case diagramtype::ptcalc: break;
    case diagramtype::pxcalc:
    case diagramtype::txcalc:
    case diagramtype::plnacalc:
    case diagramtype::tlnacalc:
    case diagramtype::pmucalc:
    case diagramtype::tmucalc: return;
    default: IO::ERROREXIT("intersectionptx", "unknown diagrammode", myfault);
  }
  extended V[3] = {0, 0, 0}, G[3] = {0, 0, 0};
  const smallint rr[3] = {0, r1, r2};
  for (int i = 1; i <= 2; ++i) {
    extended t1 = T, t2 = 0, dV2 = 0, dG2 = 0;
    ZQCALC2::TCALC(rr[i], true, t1, t2, V[i], dV2, P, xco2, xh2o, G[i], dG2);
    // No T found at the point's P (a reaction without entropy change has
    // none): the slopes are taken at the point itself.
    if (V[i] == 0 && G[i] == 0) {
      extended dmu = 0;
      ZQCALC1::CALCDMU(rr[i], V[i], G[i], dmu, P, T, xco2, xh2o);
    }
  }
  ZQCALC2::CALCVARLNA();
  extended H[3][3] = {}, L[3][3] = {};
  for (int a = 1; a <= 2; ++a)
    for (int b = a; b <= 2; ++b) {
      extended h = 0, l = 0;
      for (long e = 1; e <= NCV; ++e) {
        const extended na = (*R)(rr[a], e);
        for (long f = 1; f <= NCV; ++f) h += (*R)(rr[b], f) * COVINUSE(e, f) * na;
        l += (*R)(rr[b], e) * VARLNA[e] * na;
      }
      H[a][b] = H[b][a] = h;
      L[a][b] = L[b][a] = l;
    }
  // The shifts of P and T that a shift of each reaction's G brings, from
  // V1 dP + G1 dT + d1 = 0 and V2 dP + G2 dT + d2 = 0.
  extended gP[3] = {0, 0, 0}, gT[3] = {0, 0, 0};
  const bool quotients = V[1] != 0 && V[2] != 0 && G[1] != 0 && G[2] != 0;
  const extended e = quotients ? 1 / (V[1] / G[1] - V[2] / G[2]) : 0;
  const extended f = quotients ? 1 / (G[1] / V[1] - G[2] / V[2]) : 0;
  const extended det = V[1] * G[2] - V[2] * G[1];
  // Parallel lines leave no spread to tell.
  if (quotients ? !std::isfinite(e) || !std::isfinite(f) : det == 0 || !std::isfinite(det)) {
    sdp = sdt = cor = 0;
    return;
  }
  if (quotients) {
    gP[1] = -e / G[1], gP[2] = e / G[2];
    gT[1] = -f / V[1], gT[2] = f / V[2];
  } else {
    // A line without volume or entropy change: the same inverse of the two
    // lines' slopes, written without the quotients that it makes 0/0.
    gP[1] = -G[2] / det, gP[2] = G[1] / det;
    gT[1] = V[2] / det, gT[2] = -V[1] / det;
  }
  // The enthalpy part first, then the ln K part with gradients scaled by R T.
  const auto quad = [](const extended* g, const extended (*M)[3], const extended* h) {
    extended q = 0;
    for (int a = 1; a <= 2; ++a)
      for (int b = 1; b <= 2; ++b) q += g[a] * M[a][b] * h[b];
    return q;
  };
  const extended rt = CONST::RGAS * T;
  const extended gPs[3] = {0, gP[1] * rt, gP[2] * rt};
  const extended gTs[3] = {0, gT[1] * rt, gT[2] * rt};
  extended vp = quad(gP, H, gP), vt = quad(gT, H, gT), cv = quad(gT, H, gP);
  vp += quad(gPs, L, gPs);
  vt += quad(gTs, L, gTs);
  cv += quad(gTs, L, gPs);
  // What rounding of the covariances takes below 0 is a variance of 0.
  sdp = std::sqrt(vp > 0 ? vp : 0);
  sdt = std::sqrt(vt > 0 ? vt : 0);
  cor = sdp > 0 && sdt > 0 ? cv / (sdp * sdt) : 0;
  if (!std::isfinite(sdp) || !std::isfinite(sdt) || !std::isfinite(cor)) sdp = sdt = cor = 0;
}

}  // namespace ZQPTX
