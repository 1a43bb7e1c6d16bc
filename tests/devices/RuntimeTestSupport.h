#pragma once
// Shared ground of the device runtime tests: short instrument timings, waiting while the
// window's event loop runs (the workers' exchanges arrive through it), and simulators.
#include "FastInstruments.h"
#include "ServeUntil.h"
#include "devices/DeviceInfo.h"
