#pragma once
// The instruments of this installation by serial number: which mixer or humidifier each one
// belongs to, its position, colour and full scale. The device search configures every
// instrument it finds from this table.
#include "devices/DeviceInfo.h"

#include <QString>
#include <vector>

// The 25 rows, built on first use: 18 controllers and 7 pumps.
const std::vector<TDeviceInfo>& KnownDevices();

// The first row whose Serial occurs inside SerialText or inside which SerialText occurs
// (plain, case-sensitive); an empty text matches nothing. Device is untouched when no row
// matches.
bool GetKnownDevice(const QString& SerialText, TDeviceInfo& Device);
