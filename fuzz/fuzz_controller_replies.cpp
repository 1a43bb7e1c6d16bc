// A mass flow controller's replies as the transport hands them on (Windows-1252 decoded,
// blanks and controls trimmed): the status line, the full-scale answer and the
// identification a device search matches against the known instruments.
#include "FuzzSupport.h"

#include "devices/KnownDevices.h"
#include "instruments/AlicatReplies.h"
#include "instruments/SerialPort.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    const QString reply = TrimBlanksAndControls(Windows1252ToText(Bytes(data, size)));

    const AlicatStatusLine status = ParseAlicatStatusLine(reply);
    FUZZ_CHECK(status.FieldCount == AlicatFields(reply).size(), reply);
    if (status.kind == AlicatStatusLine::Kind::Reading)
        for (double number : status.Numbers)
            FUZZ_CHECK(std::isfinite(number), reply);
    if (status.kind == AlicatStatusLine::Kind::Malformed)
        FUZZ_CHECK(!status.BadField.isEmpty(), reply);

    const AlicatFullScale fullScale = ParseAlicatFullScale(reply);
    if (fullScale.kind == AlicatFullScale::Kind::Read)
        FUZZ_CHECK(std::isfinite(fullScale.Value), reply);

    TDeviceInfo device;
    if (GetKnownDevice(reply.trimmed(), device))
        FUZZ_CHECK(!device.Serial.isEmpty()
                       && (reply.contains(device.Serial) || device.Serial.contains(reply.trimmed())),
                   reply);
    return 0;
}
