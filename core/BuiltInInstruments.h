#pragma once
// The instruments this program comes with: the table the device search uses until the lab's
// instrument file is read, the example the first run writes as that file, and what a
// simulated controller takes its full scale from when the machine has no such file yet.
#include "core/InstrumentEntries.h"

#include <vector>

// The 25 rows: 18 controllers and 7 pumps.
const std::vector<InstrumentEntry>& BuiltInInstruments();
