#pragma once
// Short polls for every transport and driver made while it lives, including the controller
// driver's own transport that a worker start makes: runtime tests talk to simulators that
// answer at once, so the instruments' real poll pace only slows them. The read-out times and
// the pump's waits stay generous bounds: each ends as soon as the answer or the rest comes, so
// they cost nothing while the simulators answer, and a machine busy with other work can delay
// a simulator's answer by a second or more. A test of a silent instrument sets its own short
// read-out, as no answer is due there.
#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"
#include "instruments/SerialPort.h"

class FastInstruments {
public:
    static constexpr std::uint32_t AnswerBoundMS = 3000;

    FastInstruments()
    {
        TPSD4Timing pump;
        pump.PollIntervalMS = 5;
        pump.ReadoutTimeoutMS = AnswerBoundMS;
        pump.StopPollMS = 10;
        pump.StopLimit_s = 5;
        pump.WaitPollMS = 20;
        pump.SerialSettleMS = 10;
        pump.SerialWait_s = 5;
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
