#pragma once
// Short polls for every transport and driver made while it lives, including the controller
// driver's own transport that a worker start makes: runtime tests talk to simulators that
// answer at once, so the instruments' real poll pace only slows them. The read-out times and
// the pump's waits are bounds that end as soon as the answer comes, so they cost nothing while
// the simulators answer; they are kept well above what a simulator needs, because a machine
// busy with other work can hold back its answer for several hundred milliseconds. Silences pay
// them in full, which keeps them near a second.
#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"
#include "instruments/SerialPort.h"

class FastInstruments {
public:
    static constexpr std::uint32_t AnswerBoundMS = 1000;

    FastInstruments()
    {
        TPSD4Timing pump;
        pump.PollIntervalMS = 5;
        pump.ReadoutTimeoutMS = AnswerBoundMS;
        pump.StopPollMS = 10;
        pump.StopLimit_s = 1;
        pump.WaitPollMS = 20;
        pump.SerialSettleMS = 10;
        pump.SerialWait_s = 2;
        fPump = SetPSD4Timing(pump);
        fAscii = SetSendASCIITimings({5, AnswerBoundMS});
        fPort = SetSerialPortDefaults({5, AnswerBoundMS});
    }
    ~FastInstruments()
    {
        SetPSD4Timing(fPump);
        SetSendASCIITimings(fAscii);
        SetSerialPortDefaults(fPort);
    }
    FastInstruments(const FastInstruments&) = delete;
    FastInstruments& operator=(const FastInstruments&) = delete;

private:
    TPSD4Timing fPump;
    SendASCIITimings fAscii;
    TSerialPortDefaults fPort;
};
