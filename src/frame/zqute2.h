// Combination enumerators, and the positions of the end-members that the
// thermodynamics treats specially, with the name lookups behind them.
#pragma once

#include <string>

#include "frame/farray.h"
#include "frame/io.h"
#include "frame/types.h"
#include "frame/zqglobal.h"

namespace ZQUTE2 {

// ---------------------------------------------------------------- enumerators
// k-element subsets of 1..n in lexicographic order: SETUPCHOOSE once, then
// CHOOSE until more is false.
void SETUPCHOOSE(iemvector& c, smallint k);
void CHOOSE(iemvector& c, smallint k, smallint n, bool& more);
// Every tuple with 1 <= c[j] <= max[j], the last position turning fastest.
void SETUPLOOPER(iemvector& c, smallint k);
void LOOPER(iemvector& c, const iemvector& max, smallint k, bool& more);

// ---------------------------------------------------------------- positions
smallint POSI(const sstring& name);
// The position of a name a user gives among the end-members of the
// calculation, 0 when absent; a name two phases give ends the run naming
// it (where: the routine word; what: the list or prompt that gave it).
smallint ONEPOSITION(const sstring& name, const std::string& where, const std::string& what);
void POSITIONS();
bool NAMEINLIST(sstring& name, const IO::strings& list, bool quiet, smallint& pos);

// ---------------------------------------------------------------- P-T set-up
void DOFIGPT();
void DOCALCPT(const std::string& ptwhat, const std::string& pwhat, const std::string& twhat);
void UNIVARIANTSETUP();
// One field of a table row: t in °C, p in kbar; values outside the window
// are marked rather than printed.
void WRITET(extended t, smallint width, std::string& line);
void WRITEP(extended p, smallint width, std::string& line);
void WRITEXCO2(extended x, smallint n, smallint width, std::string& line);

// ---------------------------------------------------------------- diagrams
void DIAGRAMWINDOWSETUP(bool ask);

// ---------------------------------------------------------------- ln a and mu variables
void SETUPLNA();
// Every mu name must be a component of the system: one that is not ends the
// run, before it counts in the variance.
void CHECKMUNAMES();
void SETUPMU();
void READMU(smallint i, smallint k);
void READA(smallint i, smallint k);
void READLNA(smallint i, smallint k);

}  // namespace ZQUTE2
