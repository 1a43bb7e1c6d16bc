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

// An instrument's failure, raised by its driver, often on a worker thread; source names the
// instrument (its port). The installed device handler shows at most one box per source at a
// time; without one it goes to ShowMessage. While a hold is on (below) it goes to the
// diagnostic log only.
using DeviceMessageHandler = std::function<void(const QString& source, const QString& text)>;
void ShowDeviceMessage(const QString& source, const QString& text);
DeviceMessageHandler SetDeviceMessageHandler(DeviceMessageHandler handler);

// While one lives, device messages are not shown: process-wide during a shut-down (which
// names the devices that did not stop in its own message), or on the calling thread only
// (a worker that is stopping its instrument, or was given up).
class DeviceMessageHold {
public:
    enum Scope { Everywhere, ThisThread };
    explicit DeviceMessageHold(Scope scope);
    ~DeviceMessageHold();
    DeviceMessageHold(const DeviceMessageHold&) = delete;
    DeviceMessageHold& operator=(const DeviceMessageHold&) = delete;

private:
    Scope fScope;
};
// True while a process-wide hold is on (a box already on its way checks again).
bool DeviceMessagesHeld();

using QuestionHandler = std::function<bool(const QString& text)>;

// Asks the operator to confirm text (the window's thread only: the answer is awaited). True
// for yes. Without a handler the answer is no, so nothing is done unasked.
bool AskOperator(const QString& text);

// Installs the process-wide question handler; returns the previous one.
QuestionHandler SetQuestionHandler(QuestionHandler handler);

// Answers every question asked while it lives with Answer and records the texts, then
// restores the previous handler.
class QuestionCapture {
public:
    explicit QuestionCapture(bool Answer);
    ~QuestionCapture();
    QuestionCapture(const QuestionCapture&) = delete;
    QuestionCapture& operator=(const QuestionCapture&) = delete;

    QStringList Texts() const { return fTexts; }

private:
    QStringList fTexts;
    QuestionHandler fPrevious;
};

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
