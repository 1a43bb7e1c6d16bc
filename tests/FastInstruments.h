#pragma once
// Short poll and read-out times for every transport and driver made while it lives,
// including the controller driver's own transport that a worker start makes: runtime tests
// talk to simulators that answer at once, so the instruments' real waits only slow them.
#include "instruments/AlicatMFC.h"
#include "instruments/PSD4.h"
#include "instruments/SerialPort.h"

class FastInstruments {
public:
    FastInstruments()
    {
        TPSD4Timing pump;
        pump.PollIntervalMS = 5;
        pump.ReadoutTimeoutMS = 150;
        pump.StopPollMS = 10;
        pump.StopLimit_s = 0.5;
        pump.WaitPollMS = 20;
        pump.SerialSettleMS = 10;
        pump.SerialWait_s = 1;
        fPump = SetPSD4Timing(pump);
        fAscii = SetSendASCIITimings({5, 200});
        fPort = SetSerialPortDefaults({5, 200});
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
