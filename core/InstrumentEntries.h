#pragma once
// The lab's instrument file as text: one "[instrument]" section per instrument, one
// "field = value" line per field, "#" or ";" starting a comment line. A plain INI dialect
// read line by line, so that every error can name its line and field, and so that the
// example written on first run can explain itself in comments. The reader is a pure
// function of the text; the simulators link it without the device runtime.
//
//   [instrument]
//   serial = 142003
//   type = MFC-A              MFC-A, MFC-B, MFC-C, MFC-D or Pump
//   name = Blendor 1          name or role (the instrument set it belongs to)
//   colour = Red              a standard colour name or #RRGGBB
//   full_scale_sccm = 5000    controllers: full scale in standard cm³/min
//   syringe_ul = 12.5         pumps: syringe volume in µl
//   fluid_temperature_c = 21  pumps, optional (21)
//   max_flow_ulpm = 1000      pumps, optional (1000): full-scale dose rate in µl/min
//   segment = 0.5 20 Ramp     optional, once per line of the device's segment program
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

enum class InstrumentKind : std::uint8_t { MFCA, MFCB, MFCC, MFCD, Pump };

struct InstrumentEntry {
    int Line = 0; // of its "[instrument]" header; 0 for an entry that was not read from a file
    QString Serial;
    InstrumentKind Kind = InstrumentKind::MFCA;
    QString Name;
    std::uint32_t Color = 0; // ARGB
    double FullScale_sccm = 0;
    double Syringe_ul = 0;
    double FluidTemperatureC = 21;
    double MaxFlow_ulpm = 1000;
    QStringList Segments; // the segment program, one line each

    bool IsPump() const { return Kind == InstrumentKind::Pump; }
};

struct InstrumentFileError {
    int Line = 0;
    QString Field; // the field name, or the text of a line that is no field at all
    QString Reason;
};

struct InstrumentFileContent {
    std::vector<InstrumentEntry> Entries;
    std::vector<InstrumentFileError> Errors; // in line order; the entries are unusable when any
};

InstrumentFileContent ParseInstrumentFile(const QString& text);

// The whole file: an explanatory comment, then every entry. Reads back as the same entries.
QString InstrumentFileText(const std::vector<InstrumentEntry>& entries);
// One entry's section, as it stands in the file.
QString InstrumentEntryText(const InstrumentEntry& entry);

// "MFC-A" … "MFC-D", "Pump": the type field's values.
QString InstrumentKindName(InstrumentKind kind);

// The serial number proper: the last run of digits in a serial text ("PSD4 23011001" gives
// "23011001"), empty when it holds none. Instruments are told apart by it.
QString SerialNumberOf(const QString& serial);
// Whether the serial number of `serial` stands in `text` as a whole number, neither preceded
// nor followed by another digit ("A M05 Serial Number 142001" holds 142001, "1420019" does not).
bool SerialNumberIn(const QString& serial, const QString& text);
