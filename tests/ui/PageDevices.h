#pragma once
// Device lists for the page tests: a fixture that restores the program-start list (and the
// default locale) around each test, and records configured the way the configuration page
// applies them.
#include "ConfiguredDevices.h"
#include "core/QStringPrinter.h"

#include <QLocale>
#include <gtest/gtest.h>

class PageDevicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        fSavedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override
    {
        ResetDevicesLocal();
        QLocale::setDefault(fSavedLocale);
    }

private:
    QLocale fSavedLocale;
};

inline TDeviceInfo DeviceOn(const QString& port)
{
    TDeviceInfo device;
    EXPECT_TRUE(GetDeviceByPort(port, device)) << port.toStdString();
    return device;
}
