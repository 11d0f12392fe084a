#include "model/zqcalc1.h"

namespace ZQCALC1 {

// These stand in until the fluid equations of state and the order terms
// land: no volume, no fugacity, no order.
extended IHQ(extended, extended, extended, smallint, extended) { return 0; }
void H2OPROPS(extended, extended, extended& V, extended& RTlnf) { V = RTlnf = 0; }
void CO2PROPS(extended, extended, extended& V, extended& RTlnf) { V = RTlnf = 0; }
void FINDVS(extended, extended, extended, extended, extended, extended, extended, extended, extended,
            extended&, extended& lnphi) {
  lnphi = 0;
}
extended VH2OCO2(extended, extended, extended, extended) { return 0; }
void DOSP(extended, extended, extended, extended, extended, extended, extended, extended, extended, extended,
          extended, extended, extended, extended& V, extended& RTlnf) {
  V = RTlnf = 0;
}
void CORRSTATE(extended, extended, extended, extended, extended& V, extended& RTlnf) { V = RTlnf = 0; }
extended DHSOLUTE(extended, extended, extended, extended, extended, extended) { return 0; }
extended DIELECTRIC(extended, extended, extended, extended, extended) { return 0; }
extended AWGF(extended, extended, extended, extended, extended) { return 0; }

}  // namespace ZQCALC1
