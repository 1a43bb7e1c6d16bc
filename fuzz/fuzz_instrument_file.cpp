// The lab's instrument file as an operator may write it. Whatever it holds, every refusal
// names a line of the text and a reason; a file that reads without errors holds entries with
// a usable serial number and positive finite sizes, no serial number twice, and the text the
// program writes for those entries reads back as the same entries.
#include "FuzzSupport.h"

#include "core/InstrumentEntries.h"

#include <cmath>
#include <set>

namespace {

bool SameEntry(const InstrumentEntry& a, const InstrumentEntry& b)
{
    return a.Serial == b.Serial && a.Kind == b.Kind && a.Name == b.Name && a.Color == b.Color
        && a.FullScale_sccm == b.FullScale_sccm && a.Syringe_ul == b.Syringe_ul
        && a.FluidTemperatureC == b.FluidTemperatureC && a.MaxFlow_ulpm == b.MaxFlow_ulpm
        && a.Segments == b.Segments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = Utf8Text(data, size);
    const InstrumentFileContent content = ParseInstrumentFile(text);
    const int lines = int(text.count(u'\n')) + 1;
    for (const InstrumentFileError& error : content.Errors) {
        FUZZ_CHECK(error.Line >= 1 && error.Line <= lines, text);
        FUZZ_CHECK(!error.Reason.isEmpty(), text);
    }
    if (!content.Errors.empty())
        return 0;

    std::set<QString> serials;
    for (const InstrumentEntry& entry : content.Entries) {
        FUZZ_CHECK(SerialNumberOf(entry.Serial).size() >= 4, entry.Serial);
        FUZZ_CHECK(serials.insert(SerialNumberOf(entry.Serial)).second, entry.Serial);
        FUZZ_CHECK(SerialNumberIn(entry.Serial, entry.Serial), entry.Serial);
        if (entry.IsPump())
            FUZZ_CHECK(std::isfinite(entry.Syringe_ul) && entry.Syringe_ul > 0 && std::isfinite(entry.MaxFlow_ulpm)
                           && entry.MaxFlow_ulpm > 0 && std::isfinite(entry.FluidTemperatureC),
                       InstrumentEntryText(entry));
        else
            FUZZ_CHECK(std::isfinite(entry.FullScale_sccm) && entry.FullScale_sccm > 0, InstrumentEntryText(entry));
    }

    const QString written = InstrumentFileText(content.Entries);
    const InstrumentFileContent reread = ParseInstrumentFile(written);
    FUZZ_CHECK(reread.Errors.empty(), written);
    FUZZ_CHECK(reread.Entries.size() == content.Entries.size(), written);
    for (std::size_t i = 0; i < reread.Entries.size(); ++i)
        FUZZ_CHECK(SameEntry(reread.Entries[i], content.Entries[i]), written);
    return 0;
}
