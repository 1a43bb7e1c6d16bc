// The controller simulator's command handling: any line, with or without its faults, gets
// a well-framed answer or none, keeps its setpoint within the instrument's counts, and its
// status lines read back as readings.
#include "FuzzSupport.h"

#include "instruments/AlicatReplies.h"
#include "instruments/SerialPort.h"
#include "tools/ControllerSimulator.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    std::uint8_t options = 0;
    if (!TakeOptionsByte(data, size, options))
        return 0;
    ControllerSimulator simulator(ControllerSimulatorOptions{.TimeScale = 0.001});
    ControllerFaults faults;
    faults.ShortReply = options & 1;
    faults.LongReply = options & 2;
    if (options & 4)
        faults.StatusCodes = {QStringLiteral("HLD"), QStringLiteral("MOV")};
    simulator.SetFaults(faults);

    for (const QByteArray& line : Bytes(data, size).split('\r')) {
        const std::optional<SimulatorReply> reply = simulator.Answer(line);
        if (!reply)
            continue;
        FUZZ_CHECK(reply->bytes.endsWith('\r') && reply->bytes.count('\r') == 1, QString::fromLatin1(reply->bytes));
        const QString text = TrimBlanksAndControls(Windows1252ToText(reply->bytes));
        FUZZ_CHECK(ParseAlicatStatusLine(text).kind != AlicatStatusLine::Kind::Malformed, text);
        FUZZ_CHECK(simulator.SetpointCounts() >= 0 && simulator.SetpointCounts() <= 64000, text);
        FUZZ_CHECK(std::isfinite(simulator.MassFlowCounts()), text);
    }
    return 0;
}
