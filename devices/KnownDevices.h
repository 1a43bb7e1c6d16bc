#pragma once
// The instruments of this installation by serial number: which mixer or humidifier each one
// belongs to, its position, colour and full scale. The device search configures every
// instrument it finds from this table. It comes from the lab's instrument file (see
// InstrumentFile) and holds the built-in rows until one is read.
#include "core/BuiltInInstruments.h"
#include "core/InstrumentEntries.h"
#include "devices/DeviceInfo.h"

#include <QString>
#include <vector>

// An entry as a device record: no gas yet, direct control at 0 %, the entry's full scale or
// syringe, colour and segment program.
TDeviceInfo KnownDeviceFromEntry(const InstrumentEntry& entry);

// The table the search uses, and the lab's instrument file it stands for (empty until one
// is installed).
const std::vector<TDeviceInfo>& KnownDevices();
QString KnownDevicesFile();
// Replaces the table. Set at start, before any search; a search's probes read it from their
// threads while nothing changes it.
void SetKnownDevices(std::vector<TDeviceInfo> rows, const QString& file);
// Back to the built-in rows (tests).
void ResetKnownDevices();

// The first row whose serial number stands in SerialText as a whole number (not preceded or
// followed by another digit): a controller's identification answer holds its serial among
// other text, a pump reports its number alone. Device is untouched when no row matches.
bool GetKnownDevice(const QString& SerialText, TDeviceInfo& Device);
