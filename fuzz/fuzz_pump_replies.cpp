// A syringe pump's replies as the transport hands them on (Windows-1252 decoded, blanks and
// controls trimmed), decoded into the pump's state and busy flag, one after another on the
// same driver as a worker sees them.
#include "FuzzSupport.h"

#include "instruments/PSD4.h"
#include "instruments/SerialPort.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    TPSD4 pump;
    // Replies separated by line feeds, each decoded as the transport decodes one.
    for (const QByteArray& bytes : Bytes(data, size).split('\n')) {
        TSerialResponse response;
        response.Response = TrimBlanksAndControls(Windows1252ToText(bytes));
        const EnumPumpState before = pump.State();
        pump.SetStatus(response);
        const QString words = pump.StatusAsString();
        FUZZ_CHECK(words.startsWith(QStringLiteral("Busy, ")) || words.startsWith(QStringLiteral("Ready, ")),
                   response.Response);
        FUZZ_CHECK(!PumpStateName(pump.State()).isEmpty(), response.Response);
        if (response.Response.size() < 3)
            FUZZ_CHECK(pump.State() == before && !pump.Busy(), response.Response);
    }
    return 0;
}
