#include "core/UserMessages.h"

#include "core/DiagnosticLog.h"

#include <atomic>
#include <memory>

namespace {
std::mutex gHandlerMutex;
std::shared_ptr<const MessageHandler> gHandler;
std::shared_ptr<const DeviceMessageHandler> gDeviceHandler;
std::atomic<int> gHolds{0};
thread_local int tHolds = 0;
QuestionHandler gQuestionHandler; // used on the window's thread only

const DiagnosticLogger& Log()
{
    static const DiagnosticLogger log(QStringLiteral("Messages"), false);
    return log;
}
}

void ShowMessage(const QString& text)
{
    std::shared_ptr<const MessageHandler> handler;
    {
        std::lock_guard lock(gHandlerMutex);
        handler = gHandler;
    }
    if (handler)
        (*handler)(text);
    else
        Log().Send(QStringLiteral("Message: ") + text);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    std::lock_guard lock(gHandlerMutex);
    MessageHandler previous = gHandler ? *gHandler : MessageHandler{};
    gHandler = handler ? std::make_shared<const MessageHandler>(std::move(handler)) : nullptr;
    return previous;
}

void ShowDeviceMessage(const QString& source, const QString& text)
{
    if (DeviceMessagesHeld() || tHolds > 0) {
        Log().Send(QStringLiteral("Not shown (") + source + QStringLiteral("): ") + text);
        return;
    }
    std::shared_ptr<const DeviceMessageHandler> handler;
    {
        std::lock_guard lock(gHandlerMutex);
        handler = gDeviceHandler;
    }
    if (handler)
        (*handler)(source, text);
    else
        ShowMessage(text);
}

DeviceMessageHandler SetDeviceMessageHandler(DeviceMessageHandler handler)
{
    std::lock_guard lock(gHandlerMutex);
    DeviceMessageHandler previous = gDeviceHandler ? *gDeviceHandler : DeviceMessageHandler{};
    gDeviceHandler = handler ? std::make_shared<const DeviceMessageHandler>(std::move(handler)) : nullptr;
    return previous;
}

DeviceMessageHold::DeviceMessageHold(Scope scope) : fScope(scope)
{
    if (fScope == Everywhere)
        ++gHolds;
    else
        ++tHolds;
}

DeviceMessageHold::~DeviceMessageHold()
{
    if (fScope == Everywhere)
        --gHolds;
    else
        --tHolds;
}

bool DeviceMessagesHeld() { return gHolds.load() > 0; }

bool AskOperator(const QString& text)
{
    if (!gQuestionHandler) {
        Log().Send(QStringLiteral("Question left unanswered: ") + text);
        return false;
    }
    return gQuestionHandler(text);
}

QuestionHandler SetQuestionHandler(QuestionHandler handler)
{
    QuestionHandler previous = std::move(gQuestionHandler);
    gQuestionHandler = std::move(handler);
    return previous;
}

QuestionCapture::QuestionCapture(bool Answer)
    : fPrevious(SetQuestionHandler([this, Answer](const QString& text) {
        fTexts << text;
        return Answer;
    }))
{
}

QuestionCapture::~QuestionCapture() { SetQuestionHandler(std::move(fPrevious)); }

MessageCapture::MessageCapture()
{
    fPrevious = SetMessageHandler([this](const QString& text) {
        std::lock_guard lock(fMutex);
        fTexts << text;
    });
}

MessageCapture::~MessageCapture() { SetMessageHandler(fPrevious); }

QStringList MessageCapture::Texts() const
{
    std::lock_guard lock(fMutex);
    return fTexts;
}

void MessageCapture::Clear()
{
    std::lock_guard lock(fMutex);
    fTexts.clear();
}
