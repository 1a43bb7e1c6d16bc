#pragma once
// The main window driven through its controls, as an operator drives it: focusing and
// selecting device rows, choosing a gas, entering segments, and running the engine tick while
// the window's events run.
#include "WindowTestSupport.h"

#include "core/GasTable.h"
#include "ui/DeviceListView.h"
#include "ui/MessageLog.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/SegmentEditorPage.h"
#include "ui/widgets/NumberBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

// The row's columns after the caption: state, instrument, device, name or role.
inline QStringList RowTexts(const DeviceListView& list, const QString& port)
{
    QStringList texts;
    const QTreeWidgetItem* row = list.RowOfPort(port);
    for (int column = 1; row && column < list.columnCount(); ++column)
        texts << row->text(column);
    return texts;
}

class OperatorWindowTest : public WindowTest {
protected:
    // Clicks the row of the port and waits until the pages show its device.
    bool Focus(const QString& port)
    {
        DeviceListView& list = window->ListViewDevices();
        // The selection is handled once the click's events have run; the label tells when.
        QLabel* shown = window->SegmentEditor().LabelSelectedDeviceNameRole;
        shown->clear();
        list.setCurrentItem(list.RowOfPort(port));
        return ServeUntil([&] { return !shown->text().isEmpty(); }, 2000) && list.FocusedPort() == port;
    }

    void SelectAlso(const QString& port)
    {
        window->ListViewDevices().RowOfPort(port)->setSelected(true);
        QCoreApplication::processEvents();
    }

    // Runs the engine tick about every 20 ms, with the window's events in between, until done;
    // ticksRun counts them.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        QElapsedTimer sinceTick;
        sinceTick.start();
        return ServeUntil(
            [&] {
                if (sinceTick.elapsed() >= 20) {
                    Tick();
                    ++ticksRun;
                    sinceTick.restart();
                }
                return done();
            },
            timeoutMs);
    }

    void ChooseGas(const char* shortName)
    {
        TGasItem gas;
        ASSERT_TRUE(GetGas_ShortName(QString::fromLatin1(shortName), gas));
        QComboBox* list = window->Configure().ComboBoxDeviceFluid;
        list->setCurrentIndex(list->findData(gas.AlicatID));
        ASSERT_GT(list->currentIndex(), 0);
    }

    void EnterSegment(double time, double flow, const QString& type)
    {
        SegmentEditorPage& page = window->SegmentEditor();
        page.RtDoubleEditSegmentTime->SetValue(time);
        page.RtDoubleEditSegmentFlow->SetValue(flow);
        if (page.ButtonSegmentType->text() != type)
            page.ButtonSegmentType->click();
        page.ButtonSegmentApply->click();
    }

    void DeleteAllSegments()
    {
        SegmentEditorPage& page = window->SegmentEditor();
        while (page.ListViewSegmentProgram->topLevelItemCount() > 0) {
            page.ListViewSegmentProgram->setCurrentItem(page.ListViewSegmentProgram->topLevelItem(0));
            page.ButtonSegmentDelete->click();
        }
    }

    static TDeviceInfo Device(const QString& port)
    {
        TDeviceInfo device;
        EXPECT_TRUE(GetDeviceByPort(port, device)) << port.toStdString();
        return device;
    }

    bool Logged(const QString& line) const { return window->MemoMain().Text().contains(line); }

    int ticksRun = 0;
};
