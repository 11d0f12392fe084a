// The projection of a solved point's phases, and of its bulk steps, onto the
// compatibility diagram of the projection plane: the tables, and the lists
// and csv rows that draw the diagram.
#include <cmath>
#include <string>
#include <vector>

#include "equilibria/zqnle1.h"
#include "equilibria/zqnle2_print.h"
#include "frame/zqglobal_dataset.h"
#include "frame/zqglobal_projection.h"
#include "frame/zqglobal_results.h"
#include "frame/zqglobal_script.h"
#include "frame/zqglobal_solver.h"
#include "frame/zqglobal_windows.h"
#include "model/zqnle3.h"

using namespace ZQGLOBAL;
using ZQNLE2::on;

namespace ZQNLE1 {

namespace {

constexpr smallint maxprojected = maxcomp;  // phases one projection lists
constexpr extended blanktol = 1e-6L;        // a coefficient this small shows as a blank column
constexpr extended planetol = 1e-4L;        // an apex sum this small: the composition lies in the plane
constexpr longint projmask = CHANNEL::TERMSUMLOG;

// The state of one projection: kept once, as its matrices are large.
struct projwork {
  cmatrix A{"projection A"};       // apices, projection phases, the composition projected
  emvector r{"projection r"};      // the reaction of A
  cmatrix coords{"projection coords"};  // projected coordinates of each listed phase
  farray<sstring, 1, maxprojected> name{"projection name"};
  smallint nlisted = 0;
  smallint m = 0;      // projection phases
  smallint ncols = 0;  // columns of A, the work column last
  smallint nplane = 0;  // the plane's own apices, over which the sum runs
  farray<sstring, 1, maxcomp> projname{"projection projname"};  // names of the projection phases
};

projwork& work() {
  static projwork w;
  return w;
}

// The apices and the projection phases into A.
void setupmatrix(projwork& w) {
  cvector comp{"projection comp"};
  for (smallint j = 1; j <= NPROJAPEX; ++j)
    for (smallint i = 1; i <= NUVLEFT; ++i) w.A(i, j) = PROJPLANE(j, i);
  w.m = 0;
  for (smallint e = 1; e <= NCV; ++e) {
    if (!STARTSS[e] || !PINEX[EM2SS[e]]) continue;
    const ptype1& p = (*PREC1)[EM2SS[e]];
    if (EXBUFF && p.isfluid) continue;
    ++w.m;
    w.projname[w.m] = p.name;
    ZQNLE3::MAKEPHASE(e, comp);
    smallint row = 0;
    for (smallint c = 1; c <= NUV; ++c)
      if (BCOMPS[c]) w.A(++row, NPROJAPEX + w.m) = comp[c];
  }
  w.ncols = static_cast<smallint>(NPROJAPEX + w.m + 1);
  w.nplane = static_cast<smallint>(NPROJAPEX - IENPROJPLANE);
}

// The reaction of A with c (free components) in the work column; returns
// the apex sum s.
extended project(projwork& w, const cvector& c) {
  for (smallint i = 1; i <= NUVLEFT; ++i) w.A(i, w.ncols) = c[i];
  ZQNLE3::REALREACTION(w.A, NUVLEFT, w.ncols, w.r);
  extended s = 0;
  for (smallint i = 1; i <= w.nplane; ++i) s += w.r[i];
  return s;
}

// A coefficient as a projection row shows it: unnormalised when the apex
// sum cannot scale it, else as a share of the apices, negated with s.
void addvalue(extended r, extended s, std::string& o) {
  if (std::fabs(r) < blanktol)
    IO::ADDSTR("", 9, o);
  else if (std::fabs(s) < planetol)
    IO::ADDREAL(r, 4, true, 9, o);
  else if (s < 0)
    IO::ADDREAL(-r / s, 4, true, 9, o);
  else
    IO::ADDREAL(r / s, 4, true, 9, o);
}

void header(const projwork& w, const char* first, const char* last) {
  std::string& o = IO::WSTR;
  o.clear();
  IO::ADDSTR(first, -6, o);
  const smallint p = static_cast<smallint>(NUVLEFT - w.m);
  for (smallint i = 1; i <= p; ++i) IO::ADDSTR(PROJNAMES[i], 9, o);
  for (smallint i = 1; i <= w.m; ++i) IO::ADDSTR(w.projname[i], 9, o);
  IO::ADDSTR(last, 9, o);
  IO::PUTSTR(1, o, 1, projmask);
}

// One phase's row of the projection table; the phase joins the list.
void phaserow(projwork& w, const sstring& name, const cvector& comp) {
  const extended s = project(w, comp);
  std::string& o = IO::WSTR;
  o.clear();
  IO::ADDSTR(name, -6, o);
  for (smallint i = 1; i <= NUVLEFT + 1; ++i) addvalue(w.r[i], s, o);
  if (std::fabs(s) < planetol)
    o += "  #";
  else if (s < 0)
    o += "  ";
  IO::PUTSTR(0, o, 1, projmask);
  const smallint j = ++w.nlisted;
  w.name[j] = name;
  for (smallint i = 1; i <= NUVLEFT; ++i) w.coords(j, i) = std::fabs(s) < planetol ? w.r[i] : w.r[i] / std::fabs(s);
}

void projectphases(const bemvector& ph, projwork& w) {
  cvector comp{"projection comp"};
  for (smallint e = 1; e <= NCV; ++e) {
    if (!STARTSS[e] || !ph[EM2SS[e]] || PINEX[EM2SS[e]]) continue;
    cvector all{"projection all"};
    ZQNLE3::MAKEPHASE(e, all);
    smallint row = 0;
    for (smallint c = 1; c <= NUV; ++c)
      if (BCOMPS[c]) comp[++row] = all[c];
    phaserow(w, (*PREC1)[EM2SS[e]].name, comp);
  }
  for (smallint k = 1; k <= NP0; ++k) {
    if (!ph[NPSS + k] || PINEX[NPSS + k]) continue;
    const ptype0& p = (*PREC0)[k];
    smallint row = 0;
    for (smallint c = 1; c <= NUV; ++c)
      if (BCOMPS[c]) comp[++row] = p.comp[c] / static_cast<extended>(COMPDIV[c]);
    phaserow(w, p.name, comp);
  }
}

bool listed(const projwork& w, const sstring& name) {
  for (smallint j = 1; j <= w.nlisted; ++j)
    if (w.name[j] == name) return true;
  return false;
}

// The reaction's two sides among the listed phases, names quoted.
void reactionline(const projwork& w, const IO::strings& names, const emvector& v) {
  std::string& o = IO::OSTR;
  o = " {";
  for (smallint i = 1; i <= NUVLEFT + 1; ++i)
    if (v[i] < 0 && listed(w, names[i])) o += "\"" + names[i] + "\", ";
  o += "}, {";
  for (smallint i = 1; i <= NUVLEFT + 1; ++i)
    if (v[i] > 0 && listed(w, names[i])) o += "\"" + names[i] + "\",";
  o += "}, ";
  IO::PUTSTR(0, o, 1, CHANNEL::DRAWING);
}

// The unknowns held fixed by the one isopleth: a compositional variable's
// or, for a mode or zero-mode isopleth, a mode's (the modes follow the
// compositional unknowns when the solver takes them).
std::vector<smallint> heldunknowns() {
  std::vector<smallint> held;
  if (NISO != 1) return held;
  for (smallint x = 3; x <= NX + NXP; ++x)
    if (!BX[x]) held.push_back(x);
  return held;
}

// After the last phase of a list: the values of the unknowns held fixed by
// the one isopleth, or the list's close.
void listclose(std::string& o) {
  const std::vector<smallint> held = heldunknowns();
  if (held.empty()) o += "} },";
  for (smallint x : held) {
    o += "}, ";
    IO::ADDREAL(X[x], 3, true, 0, o);
    o += "},   (* " + XNAME[x] + "   *) ";
  }
}

void drawinglists(extended P, extended T) {
  std::string& o = IO::OSTR;
  IO::PUTSTR(0, "(*---------------------------------------------------------*)", 1, CHANNEL::DRAWING);
  o = "{{";
  IO::ADDREAL(P, 3, true, 0, o);
  o += ", ";
  IO::ADDREAL(ZQNLE2::celsius(T), 2, true, 0, o);
  o += "}, ";
  IO::PUTSTR(0, o, 1, CHANNEL::DRAWING);
}

void phaselists(const projwork& w) {
  std::string& o = IO::OSTR;
  for (smallint j = 1; j <= w.nlisted; ++j) {
    o = j == 1 ? "         {" : "          ";
    IO::ADDSTR("{\"" + w.name[j] + "\", ", -9, o);
    // Coordinates past the line's end go on in the next line.
    std::vector<std::string> lines = IO::FLOWROW(
        o, NUVLEFT,
        [&w, j](long i, std::string& line) {
          IO::ADDREAL(w.coords(j, static_cast<smallint>(i)), 6, true, 9, line);
          line += i == NUVLEFT ? "}" : i == w.nplane ? ",    " : ", ";
        },
        "", std::string(10, ' '));
    if (j < w.nlisted)
      lines.back() += ", ";
    else
      listclose(lines.back());
    for (const std::string& l : lines) IO::PUTSTR(0, l, 1, CHANNEL::DRAWING);
  }
}

// Each row built whole, however many components and held variables it has.
void csvrows(const projwork& w, extended P, extended T) {
  std::string o;
  for (smallint j = 1; j <= w.nlisted; ++j) {
    o = IO::PADSTR(ZQNLE2::csvname(w.name[j]) + ", ", 9);
    for (smallint i = 1; i <= NUVLEFT; ++i) o += IO::PADSTR(IO::REAL2STR(w.coords(j, i), 6, true), 9) + ", ";
    if (j == 1) {
      o += IO::PADSTR(IO::REAL2STR(P, 3, true), 9) + ", ";
      o += IO::PADSTR(IO::REAL2STR(ZQNLE2::celsius(T), 2, true), 9) + ", ";
    } else {
      o += std::string(9, ' ') + ", " + std::string(9, ' ') + ", ";
    }
    for (smallint x : heldunknowns()) o += XNAME[x] + " =" + IO::REAL2STR(X[x], 3, true);
    ZQNLE2::csvfield(CHANNEL::CSVBIT, o, 0);
    IO::PUTSTR(0, "", j == w.nlisted ? 2 : 1, CHANNEL::CSV);
  }
}

// The bulk of every seen step, projected.
void comptable(projwork& w) {
  header(w, "comp", "bulk");
  // Modes solved with the equations hold the point's own bulk step; modes
  // worked out after the solve hold every seen step, two rows to a step
  // only on a univariant line.
  const smallint first = MODESBYNLE ? SU.kcomp : SU.firstmodeset;
  smallint nseen = SU.nmodeset;
  if (MODESBYNLE)
    nseen = 1;
  else if (OVARIANCE == 1)
    nseen = static_cast<smallint>(SU.nmodeset / 2);
  cvector comp{"projection bulk"};
  for (smallint k = first; k < first + nseen; ++k) {
    const extended g = NCOMP == 1 ? 0 : static_cast<extended>(k - 1) / static_cast<extended>(NCOMP - 1);
    for (smallint c = 1; c <= NUVLEFT; ++c) comp[c] = NCOMP == 1 ? COMP1[c] : (1 - g) * COMP1[c] + g * COMP2[c];
    const extended s = project(w, comp);
    // A bulk in the plane through the projection phases cannot be scaled
    // to the apices: it shows as a phase row does then.
    const bool inplane = std::fabs(s) < planetol;
    std::string& o = IO::WSTR;
    o.clear();
    if (NCOMP < 2)
      IO::ADDSTR("", 6, o);
    else
      IO::ADDINT(k, -6, o);
    for (smallint i = 1; i <= NUVLEFT + 1; ++i) {
      if (w.r[i] == 0)
        IO::ADDSTR("", 9, o);
      else
        IO::ADDREAL(inplane ? w.r[i] : w.r[i] / s, 4, true, 9, o);
    }
    if (inplane) o += "  #";
    IO::PUTSTR(0, o, 1, projmask);
  }
}

}  // namespace

void MAKEPROJECTION(const bemvector& ph, const IO::strings& names, const emvector& v, extended P, extended T) {
  projwork& w = work();
  setupmatrix(w);
  w.nlisted = 0;
  header(w, "proj", "phase");
  projectphases(ph, w);
  if (on(CONTROLJX.compatibility)) {
    if (on(CONTROLJX.plotix)) {
      std::string& o = IO::OSTR;
      for (smallint j = 1; j <= w.nlisted; ++j) {
        o.clear();
        for (smallint i = 1; i <= w.nplane; ++i) IO::ADDREAL(w.coords(j, i), 4, true, 9, o);
        o += "   %  ";
        IO::ADDSTR(w.name[j], -8, o);
        IO::PUTSTR(0, o, 1, CHANNEL::DRAWING);
      }
    } else {
      drawinglists(P, T);
      if (VARIANCE == 1 && NISSET == 0) reactionline(w, names, v);
      phaselists(w);
      csvrows(w, P, T);
    }
  }
  if (NCOMP > 0 && on(CONTROLJX.projcomp) && SU.firstmodeset > 0) comptable(w);
}

}  // namespace ZQNLE1
