#include "model/zqcalc1_gem.h"

namespace ZQCALC1 {

// ---- HOOK: fluid, mixing, Landau/order-disorder, hydration, aqueous ----
// Until those models land every end-member is a plain solid or liquid here.
void GEMTERMS(const gemcontext&, extended& Gf, extended& Gmix, extended& Gord, extended& Ghyd, extended& Gaq) {
  Gf = 0;
  Gmix = 0;
  Gord = 0;
  Ghyd = 0;
  Gaq = 0;
}

}  // namespace ZQCALC1
