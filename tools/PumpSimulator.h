#pragma once
// A PSD4 syringe pump at address 1, for tests and for running the application without the
// instrument. Frames arrive as "/1<command>" and are answered "/0<status>[data]" + ETX CR LF.
//
// Commands understood (a program runs when its text ends in R; without R it is kept until a
// lone "R"):
//   ?22            identification, always "`255" (also from a pump with a fault, so it connects)
//   ?              plunger position in steps: where the move in progress is going, else where it is
//   ?2             top speed (as V set it);  ?4 where the plunger actually is, also during a move
//   ?6             valve position: i, o or b;  &  firmware version
//   Q, empty       status only
//   T, TR          terminate the running program (and drop one waiting for R); the plunger
//                  stops where it is
//   s<nn><cmds>R   store <cmds> in slot nn (0 to 14);  e<nn> runs a slot's commands
//   Z, Y, W        initialise: plunger to 0, valve to input, top speed 6000, busy for 2 s
//   N<n>           step mode (accepted, no effect: the pump always counts 24000 steps a stroke)
//   I, O, B        valve to input, output, bypass (0.3125 s)
//   V<n>           top speed 5 … 6000; the plunger moves 4·V steps per second
//   v, c, L, S     start speed, cut-off, slope, speed code (accepted, no effect)
//   A<n>, P<n>, D<n>  absolute move to 0 … 24000, relative pick-up, relative dispense
//   M<n>           wait n ms (0 … 30000)
//   g … G[n]       repeat n times; without a count (or 0) until terminated
// The timings are chosen so that the two looping dispense programs, fill and empty at speed b
// and fill then step-and-wait with delay M, take the maker's stroke times. A program sent
// while one runs is refused with the busy status "O"; unknown commands answer "b", operands
// out of range "c". A plunger move before the first initialisation stops the program with
// "g" (not initialised), one with the valve in bypass with "k" (syringe move not allowed).
// An error stays in the status byte through queries and reports until the pump takes its next
// command. The status character is the grave accent when ready, "@" when busy, an error
// letter in lower case when ready and in upper case when busy.
#include "tools/SimulatorHost.h"

#include <QByteArray>
#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

struct PumpSimulatorOptions {
    QByteArray Serial = "23011001"; // eight digits, kept in slots 12 and 13 as two plunger positions
    double TimeScale = 1; // real duration = pump duration × TimeScale (0.01: a hundred times faster)
    double SyringeVolume_ul = 12.5; // for DispensedVolume_ul
    QByteArray Firmware = "PSD/4 simulator 1.0"; // what "&" reports
    // Faults, also switchable while the pump serves.
    std::optional<char> StatusOverride; // every status character replaced by this one
    bool NeverReady = false; // always reports busy
    bool Silent = false; // answers nothing at all
};

class PumpSimulator : public LineProtocol {
public:
    explicit PumpSimulator(PumpSimulatorOptions options = {});

    std::optional<SimulatorReply> Answer(const QByteArray& line) override;

    // True for exactly eight decimal digits.
    static bool IsValidSerial(const QByteArray& serial);

    void SetStatusOverride(std::optional<char> status);
    void SetNeverReady(bool neverReady);
    void SetSilent(bool silent);

    // What the pump has seen and done; safe from any thread.
    QByteArray LastProgram() const; // last command text other than queries, stops and stores
    int TerminateCount() const; // "TR" frames received
    // These three first bring the plunger up to the present.
    bool Busy(); // a program is running (the never-ready fault aside)
    std::int32_t PlungerPosition(); // as "?" reports it
    double DispensedVolume_ul(); // pushed out through the output valve since start
    QByteArray StoredCommands(int slot) const;

private:
    struct Op {
        char code = 0;
        std::int64_t value = -1; // -1: no operand
        int partner = -1; // index of the matching g or G
    };
    struct PassMark {
        double time = 0;
        double dispensed = 0;
        std::int32_t position = 0;
        char valve = 'I';
        std::int32_t speed = 0;
    };

    double PumpNow() const;
    void AdvanceTo(double now);
    void StartOp(double at);
    void FinishOp();
    void Terminate(double now);
    void Run(std::vector<Op> ops, double now);
    char ParseProgram(const QByteArray& text, std::vector<Op>& ops, bool& run, bool inSlot) const;
    char StatusCharacter() const;
    // The answer to a report command ("?", "?2", "?4", "?6", "&"); false for one it lacks.
    bool Report(const QByteArray& query, double now, QByteArray& data) const;
    // Where the plunger is now, part way through a move in progress.
    std::int32_t ActualPosition(double now) const;
    double PartialDispensed(double now) const;

    const PumpSimulatorOptions fOptions;
    const std::chrono::steady_clock::time_point fEpoch = std::chrono::steady_clock::now();
    mutable std::mutex fMutex;
    std::optional<char> fStatusOverride;
    bool fNeverReady = false;
    bool fSilent = false;
    std::array<QByteArray, 15> fSlots;
    std::vector<Op> fPending;
    QByteArray fLastProgram;
    int fTerminateCount = 0;

    // The running program and the plunger.
    std::vector<Op> fOps;
    std::vector<std::int64_t> fLoopLeft; // by index of a G: passes still to run, -1 endless
    std::size_t fPc = 0;
    bool fOpStarted = false;
    double fOpStart = 0;
    double fOpEnd = 0;
    std::int32_t fMoveFrom = 0; // the move in progress, if any
    std::int32_t fMoveTo = 0;
    std::int32_t fPosition = 0; // the target of the move in progress, else where the plunger is
    char fValve = 'I';
    std::int32_t fSpeed = 6000;
    bool fInitialised = false;
    char fError = 0; // the error code in the status byte (lower case), 0 for none
    double fDispensedSteps = 0; // completed dispensing moves
    std::optional<PassMark> fLastPass; // start of the previous pass of an endless loop
};
