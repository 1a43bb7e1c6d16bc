#pragma once
// The lines of the data table: a five-line column header naming each device, its flow unit
// and gas, and one data row per period with every device's reading. Every device takes one
// column of 18 characters: 15 for the value, right-aligned, and " | ".
#include "devices/DeviceInfo.h"

#include <QDateTime>
#include <QStringList>
#include <vector>

// What the engine tick puts in a device's column when it had no reading this tick.
inline constexpr double NoReading = -999999;

// The five header lines for the devices, in their order.
QStringList DataTableColumns(const std::vector<TDeviceInfo>& devices);

// The start of a data row: the moment as "yyyy-mm-dd hh:mm:ss" (the locale's time separator
// for the colons) right-aligned in 20 characters, then " | ".
QString DataRowStamp(const QDateTime& moment);

// One device's column: the flow with at least one and at most six decimals, or "?" for a
// value below -9999 (no reading), right-aligned in 15 characters, then " | ".
QString DataRowCell(double userFlow);
