#pragma once
// The seam through which non-window code shows the operator a modal message. The window
// installs a handler that shows a centred modal box on its own thread (marshalling calls
// raised on a worker thread); tests install a capture that records the texts in order.
#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>

using MessageHandler = std::function<void(const QString& text)>;

// Shows text to the operator through the installed handler (any thread).
void ShowMessage(const QString& text);

// Installs the process-wide handler; an empty one falls back to the diagnostic log. Returns
// the previous handler.
MessageHandler SetMessageHandler(MessageHandler handler);

// Collects every message shown while it lives, then restores the previous handler.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList Texts() const;
    void Clear();

private:
    mutable std::mutex fMutex;
    QStringList fTexts;
    MessageHandler fPrevious;
};
