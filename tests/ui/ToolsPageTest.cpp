// The Tools page in the main window: its buttons act on the focused device, refuse devices
// they cannot work on, and lock the window while they talk to an instrument.
#include "PagesTestSupport.h"
#include "WindowDevices.h"

#include "instruments/PSD4.h"
#include "ui/MessageLog.h"
#include "ui/pages/ToolsPage.h"
#include "ui/widgets/RichTextLabel.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

// COM6: a controller, COM5: a pump; neither has an instrument behind its port.
class ToolsPageTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        AddToWindow(*window, ConfiguredController("COM6", 8));
        AddToWindow(*window, ConfiguredPump("COM5"));
    }

    ToolsPage& Page() { return window->Tools(); }
};

TEST_F(ToolsPageTest, ToolsStandFromTopToBottomWithTheNoticeUnderThem)
{
    window->show();
    window->Pages().setCurrentWidget(&Page());
    QCoreApplication::processEvents();
    const QWidget* order[] = {Page().BitBtn11, Page().GroupBoxDeviceTools, Page().BitBtn9, Page().Notice};
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_GE(order[i]->y(), order[i - 1]->y() + order[i - 1]->height()) << order[i]->objectName().toStdString();
    EXPECT_LT(Page().Notice->x(), Page().BitBtn11->x() + Page().BitBtn11->width());
}

TEST_F(ToolsPageTest, ButtonsRefuseDevicesTheyCannotWorkOn)
{
    enum Worker { None, Controller, Pump };
    const QString running = "Device thread is running, cannot proceed. Initialize can only be performed before "
                            "Configuration is first applied";
    struct Case {
        const char* port;
        Worker worker;
        QPushButton* button;
        QString message;
    };
    const Case cases[] = {
        {"COM6", None, Page().BitBtn10, "No pump selected"},
        {"COM6", None, Page().BitBtn9, "No pump selected"},
        {"COMX", None, Page().BitBtn9, "No pump selected"},
        {"COM5", Pump, Page().BitBtn10, "Cannot perform on already configured and running pump"},
        {"COM5", Pump, Page().BitBtn9, "Cannot perform on already configured and running pump"},
        {"COM6", Controller, Page().BitBtn11, running},
        {"COM5", Pump, Page().BitBtn11, running},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.port) + " " + c.button->text().toStdString());
        IdleWorkers workers;
        TDeviceInfo device = DeviceOn(c.port);
        if (c.worker == Controller)
            device.ThreadMFC = workers.Controller();
        if (c.worker == Pump)
            device.ThreadPump = workers.Pump();
        ASSERT_TRUE(SetDeviceByPort(device));
        SelectInWindow(*window, {c.port});
        messages.Clear();
        c.button->click();
        EXPECT_EQ(messages.Texts(), QStringList{c.message});
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(window->TimerEngine().isActive());
    }

    // Without a focused device the buttons do nothing.
    window->ListViewDevices().setCurrentItem(nullptr);
    messages.Clear();
    for (QPushButton* button : {Page().BitBtn11, Page().BitBtn10, Page().BitBtn9})
        button->click();
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(ToolsPageTest, ToolLocksTheWindowAndStopsTheTickUntilItEnds)
{
    SelectInWindow(*window, {"COMX"});
    window->TimerEngine().start();
    struct Seen {
        QString Text;
        bool WindowEnabled;
        bool TimerActive;
    };
    std::vector<Seen> seen;
    const MessageHandler previous = SetMessageHandler([&](const QString& text) {
        seen.push_back({text, window->isEnabled(), window->TimerEngine().isActive()});
    });
    Page().BitBtn11->click();
    SetMessageHandler(previous);

    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Text, "There is no Initialize procedure for demo device");
    EXPECT_FALSE(seen[0].WindowEnabled);
    EXPECT_FALSE(seen[0].TimerActive);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(window->TimerEngine().isActive());
    window->TimerEngine().stop();
}

TEST_F(ToolsPageTest, PumpThatDoesNotAnswerEndsThePrimingWithALogLine)
{
    TPSD4Timing fast;
    fast.PollIntervalMS = 5;
    fast.ReadoutTimeoutMS = 50;
    const TPSD4Timing saved = SetPSD4Timing(fast);
    SelectInWindow(*window, {"COM5"});
    Page().BitBtn10->click();
    SetPSD4Timing(saved);

    const QString safety = "For safety, this will disable the form and stop any new changes on devices until "
                           "completed. Software will be unresponsive until pump stops.";
    EXPECT_EQ(messages.Texts(), QStringList{safety});
    EXPECT_TRUE(window->MemoMain().Text().contains("Priming COM5: the pump does not answer"))
        << window->MemoMain().Text().toStdString();
    EXPECT_TRUE(window->ProgressText().text().isEmpty());
    EXPECT_TRUE(window->isEnabled());
}

} // namespace
