#include "ui/ModalMessages.h"

#include "core/DiagnosticLog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <map>

namespace {

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(QStringLiteral("Messages"), false);
    return log;
}

void ShowBox(const QString& text)
{
    // Without a parent the box is centred on the screen; it blocks until confirmed.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

bool AskBox(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

// Runs call on the window's thread: at once when already there, else posted.
template <typename Call>
void OnWindowThread(Call call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread())
        call();
    else
        QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

} // namespace

// Window thread only.
struct ModalMessages::DeviceBoxes {
    struct Open {
        QPointer<QMessageBox> box;
        int repeats = 0;
    };
    std::map<QString, Open> open;

    void Show(const QString& source, const QString& text)
    {
        // A box already on its way when the shut-down began is not shown either.
        if (DeviceMessagesHeld()) {
            Log().Send(QStringLiteral("Not shown (") + source + QStringLiteral("): ") + text);
            return;
        }
        const auto found = open.find(source);
        if (found != open.end() && found->second.box) {
            ++found->second.repeats;
            Log().Send(QStringLiteral("Repeated while shown (") + source + QStringLiteral(", ")
                       + QString::number(found->second.repeats) + QStringLiteral("): ") + text);
            return;
        }
        auto* box = new QMessageBox(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        open[source] = {box, 0};
        QObject::connect(box, &QMessageBox::finished, box, [this, source] {
            const auto closed = open.find(source);
            if (closed == open.end())
                return;
            if (closed->second.repeats > 0)
                Log().Send(QStringLiteral("Box of ") + source + QStringLiteral(" closed; the message came ")
                           + QString::number(closed->second.repeats) + QStringLiteral(" more times while it was open"));
            open.erase(closed);
        });
        box->show();
    }

    ~DeviceBoxes()
    {
        for (auto& [source, entry] : open)
            delete entry.box.data();
    }
};

ModalMessages::ModalMessages()
    : fBoxes(std::make_shared<DeviceBoxes>())
{
    fPreviousQuestion = SetQuestionHandler(AskBox);
    fPrevious = SetMessageHandler([](const QString& text) { OnWindowThread([text] { ShowBox(text); }); });
    // The posted call holds the boxes only weakly: it may run after these handlers are gone.
    fPreviousDevice = SetDeviceMessageHandler([weak = std::weak_ptr<DeviceBoxes>(fBoxes)](const QString& source,
                                                                                        const QString& text) {
        OnWindowThread([weak, source, text] {
            if (const auto boxes = weak.lock())
                boxes->Show(source, text);
        });
    });
}

ModalMessages::~ModalMessages()
{
    SetQuestionHandler(fPreviousQuestion);
    SetMessageHandler(fPrevious);
    SetDeviceMessageHandler(fPreviousDevice);
}

int ModalMessages::OpenDeviceBoxes() const
{
    int count = 0;
    for (const auto& [source, entry] : fBoxes->open)
        count += entry.box ? 1 : 0;
    return count;
}
