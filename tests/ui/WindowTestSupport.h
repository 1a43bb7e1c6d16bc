#pragma once
// Shared ground of the main-window tests: a settable clock, a window whose data folder is a
// scratch folder, with its engine timer stopped (the tests run the tick themselves), and
// waiting while the window's events run.
#include "ServeUntil.h"
#include "core/Clock.h"
#include "core/DataFolders.h"
#include "core/QStringPrinter.h"
#include "core/UserMessages.h"
#include "devices/DeviceInfo.h"
#include "ui/EngineTick.h"
#include "ui/FlowLog.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The clock seam set to a moment that only moves when told.
class FakeClock {
public:
    explicit FakeClock(const QDateTime& start)
    {
        Moment() = start;
        fPrevious = SetClockSource(&FakeClock::Now);
    }
    ~FakeClock() { SetClockSource(fPrevious); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void Set(const QDateTime& moment) { Moment() = moment; }
    void AdvanceMs(qint64 ms) { Moment() = Moment().addMSecs(ms); }
    static QDateTime Now() { return Moment(); }

private:
    static QDateTime& Moment()
    {
        static QDateTime moment;
        return moment;
    }
    ClockSource fPrevious = nullptr;
};

// The system clock moved ahead by a settable amount; read by the window and the workers alike.
class JumpingClock {
public:
    JumpingClock() : fPrevious(SetClockSource(&Now)) {}
    ~JumpingClock()
    {
        SetClockSource(fPrevious);
        Offset() = 0;
    }
    JumpingClock(const JumpingClock&) = delete;
    JumpingClock& operator=(const JumpingClock&) = delete;

    void AdvanceMs(qint64 ms) { Offset() += ms; }

private:
    static std::atomic<qint64>& Offset()
    {
        static std::atomic<qint64> offset{0};
        return offset;
    }
    static QDateTime Now() { return QDateTime::currentDateTime().addMSecs(Offset()); }
    ClockSource fPrevious;
};

// A fresh device list and a window working in a scratch folder, in an English locale. Modal
// messages are collected; the tick's pauses are recorded instead of slept.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fFolder.isValid());
        fSavedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        fSavedDirectory = QDir::currentPath();
        QDir::setCurrent(fFolder.path());
        fSavedDataRoot = DataFolders::SetRoot(fFolder.path());
        ResetDevicesLocal();
        window = std::make_unique<TGUIF>();
        window->TimerEngine().stop();
        window->Engine().SetSleep([this](int ms) { sleeps.push_back(ms); });
    }

    void TearDown() override
    {
        window.reset();
        ResetDevicesLocal();
        DataFolders::SetRoot(fSavedDataRoot);
        QDir::setCurrent(fSavedDirectory);
        QLocale::setDefault(fSavedLocale);
    }

    QString LogFolder() const { return fFolder.path() + QStringLiteral("/Logs"); }
    QString Folder() const { return fFolder.path(); }

    // The flow log files written so far, by name.
    QStringList LogFiles() const
    {
        QStringList files = QDir(LogFolder()).entryList({QStringLiteral("* log *.txt")}, QDir::Files);
        files.sort();
        return files;
    }

    void Tick() { window->Engine().TimerEngineTimer(); }

    MessageCapture messages;
    std::unique_ptr<TGUIF> window;
    std::vector<int> sleeps;

private:
    QTemporaryDir fFolder;
    QString fSavedDirectory;
    QString fSavedDataRoot;
    QLocale fSavedLocale;
};
