// The script switches and values, one field for each keyword that sets one.
#pragma once

#include "types.h"

struct controljxtype {
  controlboolean batch = no;
};
