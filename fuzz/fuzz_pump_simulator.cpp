// The pump simulator's command handling: any frame gets the pump's framing back, and the
// plunger stays within its stroke whatever programs, stores and loops arrive.
#include "FuzzSupport.h"

#include "tools/PumpSimulator.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    PumpSimulatorOptions options;
    options.TimeScale = 1e-6; // programs run out within the input
    PumpSimulator simulator(options);

    for (const QByteArray& line : Bytes(data, size).split('\r')) {
        const std::optional<SimulatorReply> reply = simulator.Answer(line);
        if (reply) {
            FUZZ_CHECK(reply->bytes.startsWith("/0") && reply->bytes.endsWith("\x03\r\n"),
                       QString::fromLatin1(reply->bytes));
        }
        const std::int32_t position = simulator.PlungerPosition();
        FUZZ_CHECK(position >= 0 && position <= 24000, QString::number(position));
        FUZZ_CHECK(std::isfinite(simulator.DispensedVolume_ul()), QString::fromLatin1(line));
        simulator.Busy();
    }
    return 0;
}
