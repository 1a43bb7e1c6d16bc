#include "core/UserMessages.h"

#include "core/DiagnosticLog.h"

#include <memory>

namespace {
std::mutex gHandlerMutex;
std::shared_ptr<const MessageHandler> gHandler;

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
