// Help tips under the mouse pointer, errors that escape a handler, and modal messages raised
// on a worker thread.
#include "WindowDevices.h"
#include "WindowTestSupport.h"

#include "ui/DeviceListView.h"
#include "ui/ErrorReport.h"
#include "ui/FlowChart.h"
#include "ui/HelpHover.h"
#include "ui/HelpTips.h"
#include "ui/MessageLog.h"
#include "ui/ModalMessages.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/DesignerPage.h"
#include "ui/pages/SegmentEditorPage.h"
#include "ui/widgets/ColorPicker.h"
#include "ui/widgets/NumberBox.h"
#include "ui/widgets/RichTextLabel.h"

#include "core/Errors.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTreeWidget>
#include <future>
#include <thread>

namespace {

class HelpTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->resize(1200, 900);
        window->show();
        QCoreApplication::processEvents();
    }

    QString Shown() const { return window->DzHTMLTextTips().RichText(); }
    static QString TipFor(const QString& key) { return HelpMarkupToRichText(HelpTextForControl(key)); }

    // A mouse movement arriving at the widget under the pointer, as the system sends it.
    static void MoveOver(QWidget* widget)
    {
        const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
};

TEST_F(HelpTest, ControlUnderThePointerChoosesTheTextByItsName)
{
    DeviceListView& list = window->ListViewDevices();
    MoveOver(list.viewport());
    EXPECT_EQ(window->MouseOverName, "ListViewDevices");
    EXPECT_EQ(Shown(), TipFor("ListViewDevices"));

    window->Pages().setCurrentWidget(&window->SegmentEditor());
    QCoreApplication::processEvents();
    MoveOver(window->SegmentEditor().ListViewSegmentProgram->viewport());
    EXPECT_EQ(window->MouseOverName, "ListViewSegmentProgram");
    EXPECT_EQ(window->DzHTMLTextTips().PlainText(),
              "Right mouse click to load or save segment program to a (text) file, for the selected device.");

    // The chart's inner view reports the chart.
    const QChartView* chartView = window->Chart().findChild<QChartView*>();
    ASSERT_NE(chartView, nullptr);
    MoveOver(chartView->viewport());
    EXPECT_EQ(window->MouseOverName, "RtGraph2DMain");

    // A label without a key of its own: the general hint, and its name is remembered.
    window->Pages().setCurrentWidget(&window->Configure());
    QCoreApplication::processEvents();
    QLabel* deviceName = window->Configure().findChild<QLabel*>(QStringLiteral("LabelDeviceName"));
    ASSERT_NE(deviceName, nullptr);
    MoveOver(deviceName);
    EXPECT_EQ(window->MouseOverName, "LabelDeviceName");
    EXPECT_EQ(window->DzHTMLTextTips().PlainText(),
              "Hover mouse over items (or adjacent labels) to see help, tips and information.");

    MoveOver(window->Configure().LabelColor);
    EXPECT_EQ(Shown(), TipFor("LabelColor"));
    MoveOver(window->MemoMain().viewport());
    EXPECT_EQ(window->MouseOverName, "MemoMain");
}

TEST_F(HelpTest, ControlsCreatedLaterReportTooAndTheDesignerBoxesShareOneText)
{
    // The designer builds its rows when devices are selected, long after the window started.
    SelectInWindow(*window, {"COMX", "COMY"});
    window->Pages().setCurrentWidget(&window->Designer());
    QCoreApplication::processEvents();
    for (const char* port : {"COMX", "COMY"}) {
        NumberBox* box = window->Designer().RowFlowBox(QString::fromLatin1(port));
        ASSERT_NE(box, nullptr) << port;
        MoveOver(box);
        EXPECT_EQ(window->MouseOverName, box->objectName());
        EXPECT_TRUE(window->MouseOverName.endsWith(QString::fromLatin1(port)));
        EXPECT_EQ(window->DzHTMLTextTips().PlainText(),
                  "Manually entering the flow gives more precission, allowing fractions.");
    }
}

TEST_F(HelpTest, DropDownListsReportNoMovementButTheFluidListsExplainThemselvesOnEntry)
{
    MoveOver(window->Configure().LabelColor);
    const QString before = Shown();
    MoveOver(window->Configure().RtColorPickComboDeviceColor);
    EXPECT_EQ(window->MouseOverName, "LabelColor");
    EXPECT_EQ(Shown(), before);

    QComboBox* fluids = window->Configure().ComboBoxDeviceFluid;
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(fluids, &enter);
    EXPECT_EQ(Shown(), HelpMarkupToRichText(FluidListHelpText()));
    MoveOver(fluids); // moving inside keeps the text
    EXPECT_EQ(Shown(), HelpMarkupToRichText(FluidListHelpText()));
    EXPECT_EQ(window->MouseOverName, "LabelColor");

    QApplication::sendEvent(window->Configure().ComboBoxFlowUnitPredefined, &enter);
    EXPECT_EQ(Shown(), HelpMarkupToRichText(PredefinedConditionsHelpText()));

    // Nor does the termination radio group, its button included: the tip stays.
    window->Pages().setCurrentWidget(&window->SegmentEditor());
    QCoreApplication::processEvents();
    MoveOver(window->SegmentEditor().RadioGroupTermination);
    MoveOver(window->SegmentEditor().RadioButtonKeepLastFlow);
    EXPECT_EQ(window->MouseOverName, "LabelColor");
    EXPECT_EQ(Shown(), HelpMarkupToRichText(PredefinedConditionsHelpText()));
}

TEST_F(HelpTest, ShowHelpIgnoresWidgetsOutsideTheWindow)
{
    window->ShowHelp(&window->ListViewDevices());
    QLabel stranger;
    stranger.setObjectName("MemoMain");
    window->ShowHelp(&stranger);
    window->ShowHelp(nullptr);
    EXPECT_EQ(window->MouseOverName, "ListViewDevices");
    EXPECT_EQ(Shown(), TipFor("ListViewDevices"));
}

TEST(ErrorReport, AnEscapingErrorIsShownAndTheProgramGoesOn)
{
    const MessageCapture messages;
    bool after = false;
    RunReportingErrors([] { throw ConvertError("'x' is not a valid floating point value"); });
    RunReportingErrors([] { throw 42; });
    RunReportingErrors([&] { after = true; });
    EXPECT_EQ(messages.Texts(), QStringList({"'x' is not a valid floating point value", "Unknown error"}));
    EXPECT_TRUE(after);
}

TEST(ModalMessages, AWorkerNeverWaitsForTheWindowThread)
{
    const ModalMessages boxes;
    // The window's thread is busy (it waits for the worker right here, without serving its
    // events): a message from the worker must not wait for it.
    auto worker = std::async(std::launch::async, [] { ShowMessage("from a worker"); });
    EXPECT_EQ(worker.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    // Drop the box posted to this thread rather than show it.
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
}

TEST(ModalMessages, AnInstrumentsFailuresOpenOneBoxAtATimeThatBlocksNothingAndNoneWhileHeld)
{
    const ModalMessages boxes;
    const QString failure = QStringLiteral("Set pump states failed. Used string: ");
    const auto fromWorker = [&](const QString& port, int times) {
        std::thread([&] {
            for (int i = 0; i < times; ++i)
                ShowDeviceMessage(port, failure);
        }).join();
        QCoreApplication::processEvents();
    };
    const auto openBoxes = [] {
        QList<QMessageBox*> open;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                open << box;
        return open;
    };

    fromWorker(QStringLiteral("/dev/ttyUSB0"), 50);
    EXPECT_EQ(boxes.OpenDeviceBoxes(), 1) << "repeats while the box is open are counted, not shown";
    fromWorker(QStringLiteral("/dev/ttyUSB1"), 1);
    ASSERT_EQ(openBoxes().size(), 2);
    for (QMessageBox* box : openBoxes()) {
        EXPECT_FALSE(box->isModal()) << "the operator can still stop or reset the devices";
        EXPECT_EQ(box->text(), failure);
    }

    // A shut-down holds them all, also one posted just before it began.
    std::thread([&] { ShowDeviceMessage(QStringLiteral("/dev/ttyUSB2"), failure); }).join();
    {
        const DeviceMessageHold hold(DeviceMessageHold::Everywhere);
        QCoreApplication::processEvents();
        fromWorker(QStringLiteral("/dev/ttyUSB3"), 5);
    }
    // A worker that is stopping holds its own.
    std::thread([&] {
        const DeviceMessageHold hold(DeviceMessageHold::ThisThread);
        ShowDeviceMessage(QStringLiteral("/dev/ttyUSB4"), failure);
    }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.OpenDeviceBoxes(), 2);

    // Once the operator closes a box, that instrument's next failure is shown again.
    openBoxes().first()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.OpenDeviceBoxes(), 1);
    fromWorker(QStringLiteral("/dev/ttyUSB0"), 1);
    fromWorker(QStringLiteral("/dev/ttyUSB1"), 1);
    EXPECT_EQ(boxes.OpenDeviceBoxes(), 2);
}

} // namespace
