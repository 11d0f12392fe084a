// Stands in for the store of calculated results until avPT+ lands.
#include "uncertainty/zqnle4_calcsd.h"

void ZQNLE4::calcsdstate::ACCUMULATE() {}
