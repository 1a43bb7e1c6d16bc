#pragma once
// The lab's instrument file: read at start into the known-device table. When there is no
// file yet, the built-in rows are written there as an example (once, and only if the file is
// still absent a moment later); an existing file is never written. A file that cannot be
// read or holds an error leaves the built-in table in place.
#include "devices/DeviceInfo.h"

#include <QString>
#include <QStringList>
#include <vector>

struct InstrumentTable {
    std::vector<TDeviceInfo> Devices; // the file's entries, or the built-in rows
    // For the message log: where the table came from, and every error with its line and field.
    QStringList Messages;
    // Set when the file was refused: the text to show the operator at start.
    QString Refusal;
};

InstrumentTable LoadInstrumentFile(const QString& path);

// Makes the table read from path the known-device table; path is then the file that the
// search's messages about unlisted instruments name.
InstrumentTable InstallInstrumentFile(const QString& path);
