#include "tools/PumpSimulator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr std::int32_t kFullStroke = 24000;
constexpr std::int32_t kMinSpeed = 5;
constexpr std::int32_t kMaxSpeed = 6000;
constexpr std::int64_t kMaxWait_ms = 30000;
constexpr int kSlotCount = 15;
constexpr double kInitialise_s = 2.0;
constexpr double kValveTurn_s = 0.3125;
// Each pass through a repeat marker costs the controller this long; with the valve turns and
// the move speed below it reproduces the maker's stroke times of both dispense programs.
constexpr double kLoopPass_s = 0.04349;
constexpr double kMoveFactor = 1.000319;
// Ops executed per catch-up at most, so a pathological program cannot stall the serving thread.
constexpr int kOpBudget = 5'000'000;

constexpr char kInvalidCommand = 'b';
constexpr char kInvalidOperand = 'c';
constexpr char kNotInitialised = 'g';
constexpr char kMoveNotAllowed = 'k';
constexpr char kCommandOverflow = 'o';

bool IsMove(char code) { return code == 'A' || code == 'P' || code == 'D'; }
bool IsInitialise(char code) { return code == 'Z' || code == 'Y' || code == 'W'; }

double MoveTime_s(std::int32_t from, std::int32_t to, std::int32_t speed)
{
    return std::abs(to - from) / (4.0 * speed) * kMoveFactor;
}

} // namespace

PumpSimulator::PumpSimulator(PumpSimulatorOptions options)
    : fOptions([&] {
          if (!(options.TimeScale >= 1e-6 && options.TimeScale <= 1e6))
              options.TimeScale = 1;
          return options;
      }())
    , fStatusOverride(fOptions.StatusOverride)
    , fNeverReady(fOptions.NeverReady)
    , fSilent(fOptions.Silent)
{
    if (IsValidSerial(fOptions.Serial)) {
        fSlots[12] = "A" + fOptions.Serial.left(4);
        fSlots[13] = "A" + fOptions.Serial.mid(4, 4);
    }
}

bool PumpSimulator::IsValidSerial(const QByteArray& serial)
{
    return serial.size() == 8 && std::all_of(serial.begin(), serial.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void PumpSimulator::SetStatusOverride(std::optional<char> status)
{
    std::lock_guard lock(fMutex);
    fStatusOverride = status;
}

void PumpSimulator::SetNeverReady(bool neverReady)
{
    std::lock_guard lock(fMutex);
    fNeverReady = neverReady;
}

void PumpSimulator::SetSilent(bool silent)
{
    std::lock_guard lock(fMutex);
    fSilent = silent;
}

QByteArray PumpSimulator::LastProgram() const
{
    std::lock_guard lock(fMutex);
    return fLastProgram;
}

int PumpSimulator::TerminateCount() const
{
    std::lock_guard lock(fMutex);
    return fTerminateCount;
}

bool PumpSimulator::Busy()
{
    std::lock_guard lock(fMutex);
    AdvanceTo(PumpNow());
    return fPc < fOps.size();
}

std::int32_t PumpSimulator::PlungerPosition()
{
    std::lock_guard lock(fMutex);
    AdvanceTo(PumpNow());
    return fPosition;
}

double PumpSimulator::DispensedVolume_ul()
{
    std::lock_guard lock(fMutex);
    const double now = PumpNow();
    AdvanceTo(now);
    return (fDispensedSteps + PartialDispensed(now)) / kFullStroke * fOptions.SyringeVolume_ul;
}

QByteArray PumpSimulator::StoredCommands(int slot) const
{
    std::lock_guard lock(fMutex);
    return slot >= 0 && slot < kSlotCount ? fSlots[std::size_t(slot)] : QByteArray();
}

double PumpSimulator::PumpNow() const
{
    const std::chrono::duration<double> real = std::chrono::steady_clock::now() - fEpoch;
    return real.count() / fOptions.TimeScale;
}

std::optional<SimulatorReply> PumpSimulator::Answer(const QByteArray& line)
{
    std::lock_guard lock(fMutex);
    // Pumps on a shared line answer only frames with their own address.
    if (fSilent || !line.startsWith("/1"))
        return std::nullopt;
    QByteArray command = line.mid(2);
    const double now = PumpNow();
    AdvanceTo(now);

    char error = 0;
    QByteArray data;
    if (command == "?22") {
        // The identification answers from the communication board, whatever the drive does.
        return SimulatorReply{QByteArray("/0`255\x03\r\n"), 0};
    }
    // An error stays in the status byte through reports and status queries until the pump
    // takes another command (or reports the next error).
    if (command.startsWith('?') || command == "&") {
        if (!Report(command, now, data))
            error = kInvalidCommand;
    } else if (command.startsWith('s')) {
        qsizetype digits = 1;
        while (digits < command.size() && digits < 3 && command[digits] >= '0' && command[digits] <= '9')
            ++digits;
        const int slot = digits > 1 ? command.mid(1, digits - 1).toInt() : -1;
        if (slot < 0 || slot >= kSlotCount) {
            error = kInvalidOperand;
        } else {
            QByteArray stored = command.mid(digits);
            if (stored.endsWith('R'))
                stored.chop(1);
            fSlots[std::size_t(slot)] = stored;
            fError = 0;
        }
    } else if (!command.isEmpty() && command != "Q") {
        if (command == "TR")
            ++fTerminateCount;
        if (command.startsWith('T')) {
            Terminate(now);
            fPending.clear();
            fError = 0;
            command.remove(0, 1);
        }
        if (!command.isEmpty()) {
            if (command != "R")
                fLastProgram = line.mid(2);
            std::vector<Op> ops;
            bool run = false;
            error = ParseProgram(command, ops, run, false);
            if (!error) {
                if (ops.empty() && run)
                    ops = std::exchange(fPending, {});
                if (!run) {
                    fPending = std::move(ops);
                    fError = 0;
                } else if (fPc < fOps.size()) {
                    error = kCommandOverflow;
                } else {
                    fError = 0; // a move of the new program may raise one again
                    Run(std::move(ops), now);
                }
            }
        }
    }
    if (error)
        fError = error;
    return SimulatorReply{"/0" + QByteArray(1, StatusCharacter()) + data + "\x03\r\n", 0};
}

bool PumpSimulator::Report(const QByteArray& query, double now, QByteArray& data) const
{
    if (query == "?")
        data = QByteArray::number(fPosition);
    else if (query == "?2")
        data = QByteArray::number(fSpeed);
    else if (query == "?4")
        data = QByteArray::number(ActualPosition(now));
    else if (query == "?6")
        data = QByteArray(1, char(fValve + ('a' - 'A')));
    else if (query == "&")
        data = fOptions.Firmware;
    else
        return false;
    return true;
}

std::int32_t PumpSimulator::ActualPosition(double now) const
{
    if (!fOpStarted || fPc >= fOps.size() || !IsMove(fOps[fPc].code))
        return fPosition;
    const double span = fOpEnd - fOpStart;
    const double fraction = span > 0 ? std::clamp((now - fOpStart) / span, 0.0, 1.0) : 1.0;
    return std::int32_t(std::lround(fMoveFrom + fraction * (fMoveTo - fMoveFrom)));
}

char PumpSimulator::StatusCharacter() const
{
    if (fStatusOverride)
        return *fStatusOverride;
    const bool busy = fPc < fOps.size() || fNeverReady;
    const char ready = fError ? fError : '`';
    return busy ? char(ready - 0x20) : ready; // '`' becomes '@', a lower-case letter its capital
}

char PumpSimulator::ParseProgram(const QByteArray& text, std::vector<Op>& ops, bool& run, bool inSlot) const
{
    std::vector<std::size_t> openLoops;
    qsizetype i = 0;
    while (i < text.size()) {
        Op op;
        op.code = text[i++];
        const qsizetype start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        if (i - start > 6)
            return kInvalidOperand;
        if (i > start)
            op.value = text.mid(start, i - start).toLongLong();
        const auto inRange = [&op](std::int64_t low, std::int64_t high) { return op.value >= low && op.value <= high; };
        switch (op.code) {
        case 'R':
            run = true;
            continue;
        case 'Z': case 'Y': case 'W': case 'N': case 'v': case 'c': case 'L': case 'S':
        case 'I': case 'O': case 'B':
            break;
        case 'V':
            if (!inRange(kMinSpeed, kMaxSpeed))
                return kInvalidOperand;
            break;
        case 'A': case 'P': case 'D':
            if (!inRange(0, kFullStroke))
                return kInvalidOperand;
            break;
        case 'M':
            if (!inRange(0, kMaxWait_ms))
                return kInvalidOperand;
            break;
        case 'g':
            openLoops.push_back(ops.size());
            break;
        case 'G':
            if (openLoops.empty())
                return kInvalidCommand;
            op.partner = int(openLoops.back());
            ops[openLoops.back()].partner = int(ops.size());
            openLoops.pop_back();
            break;
        case 'e': {
            if (inSlot)
                return kInvalidCommand;
            if (!inRange(0, kSlotCount - 1))
                return kInvalidOperand;
            std::vector<Op> slotOps;
            bool slotRun = false;
            if (const char slotError = ParseProgram(fSlots[std::size_t(op.value)], slotOps, slotRun, true))
                return slotError;
            const int offset = int(ops.size());
            for (Op& slotOp : slotOps) {
                if (slotOp.partner >= 0)
                    slotOp.partner += offset;
                ops.push_back(slotOp);
            }
            continue;
        }
        default:
            return kInvalidCommand;
        }
        ops.push_back(op);
    }
    return openLoops.empty() ? 0 : kInvalidCommand;
}

void PumpSimulator::Run(std::vector<Op> ops, double now)
{
    fOps = std::move(ops);
    fLoopLeft.assign(fOps.size(), 0);
    fPc = 0;
    fOpStarted = false;
    fOpStart = now;
    fLastPass.reset();
    AdvanceTo(now);
}

void PumpSimulator::StartOp(double at)
{
    const Op& op = fOps[fPc];
    // The pump refuses a plunger move before it has been initialised and while the valve
    // is in bypass; it then drops the rest of the program.
    if (IsMove(op.code) && (!fInitialised || fValve == 'B')) {
        fError = fInitialised ? kMoveNotAllowed : kNotInitialised;
        Terminate(at);
        return;
    }
    fOpStarted = true;
    fOpStart = at;
    fMoveFrom = fMoveTo = fPosition;
    double duration = 0;
    if (IsInitialise(op.code)) {
        fInitialised = true;
        fMoveFrom = fMoveTo = fPosition = 0;
        fValve = 'I';
        fSpeed = kMaxSpeed;
        duration = kInitialise_s;
    } else if (op.code == 'I' || op.code == 'O' || op.code == 'B') {
        fValve = op.code;
        duration = kValveTurn_s;
    } else if (op.code == 'V') {
        fSpeed = std::int32_t(op.value);
    } else if (IsMove(op.code)) {
        const std::int64_t target = op.code == 'A' ? op.value : op.code == 'P' ? fPosition + op.value : fPosition - op.value;
        fMoveTo = fPosition = std::int32_t(std::clamp<std::int64_t>(target, 0, kFullStroke));
        duration = MoveTime_s(fMoveFrom, fMoveTo, fSpeed);
    } else if (op.code == 'M') {
        duration = double(op.value) / 1000;
    } else if (op.code == 'G') {
        duration = kLoopPass_s;
    }
    fOpEnd = at + duration;
}

// Completes the op at fPc and moves to the next one, back into a loop where one repeats.
void PumpSimulator::FinishOp()
{
    const Op& op = fOps[fPc];
    if (IsMove(op.code) && fValve == 'O' && fMoveTo < fMoveFrom)
        fDispensedSteps += fMoveFrom - fMoveTo;
    fMoveFrom = fMoveTo = fPosition;
    fOpStarted = false;
    fOpStart = fOpEnd;
    if (op.code == 'g') {
        const std::int64_t count = fOps[std::size_t(op.partner)].value;
        fLoopLeft[std::size_t(op.partner)] = count <= 0 ? -1 : count;
        ++fPc;
    } else if (op.code == 'G') {
        std::int64_t& left = fLoopLeft[fPc];
        if (left < 0 || --left > 0)
            fPc = std::size_t(op.partner) + 1;
        else
            ++fPc;
    } else {
        ++fPc;
    }
}

void PumpSimulator::AdvanceTo(double now)
{
    for (int budget = kOpBudget; budget > 0 && fPc < fOps.size(); --budget) {
        if (!fOpStarted)
            StartOp(fOpStart);
        if (fPc >= fOps.size())
            return;
        if (fOpEnd > now)
            return;
        const std::size_t pc = fPc;
        const bool endlessPass = fOps[pc].code == 'G' && fLoopLeft[pc] < 0;
        FinishOp();
        if (!endlessPass)
            continue;
        // An endless loop repeats the same pass: once two passes began in the same state, the
        // whole passes up to now are counted at once instead of being stepped through.
        PassMark mark{fOpStart, fDispensedSteps, fPosition, fValve, fSpeed};
        if (fLastPass && fLastPass->position == mark.position && fLastPass->valve == mark.valve
            && fLastPass->speed == mark.speed && mark.time > fLastPass->time) {
            const double passTime = mark.time - fLastPass->time;
            const double passes = std::floor((now - mark.time) / passTime);
            if (passes >= 1) {
                fOpStart += passes * passTime;
                fDispensedSteps += passes * (mark.dispensed - fLastPass->dispensed);
                mark.time = fOpStart;
                mark.dispensed = fDispensedSteps;
            }
        }
        fLastPass = mark;
    }
}

double PumpSimulator::PartialDispensed(double now) const
{
    if (!fOpStarted || fPc >= fOps.size() || !IsMove(fOps[fPc].code) || fValve != 'O' || fMoveTo >= fMoveFrom)
        return 0;
    const double span = fOpEnd - fOpStart;
    const double fraction = span > 0 ? std::clamp((now - fOpStart) / span, 0.0, 1.0) : 1.0;
    return fraction * (fMoveFrom - fMoveTo);
}

void PumpSimulator::Terminate(double now)
{
    if (fOpStarted && fPc < fOps.size() && IsMove(fOps[fPc].code)) {
        fDispensedSteps += PartialDispensed(now);
        fPosition = ActualPosition(now);
    }
    fOps.clear();
    fLoopLeft.clear();
    fPc = 0;
    fOpStarted = false;
    fMoveFrom = fMoveTo = fPosition;
    fLastPass.reset();
}
