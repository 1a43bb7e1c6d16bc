#pragma once
// The handlers of the message seam for the running program, shown on the window's thread. A
// message raised on a worker thread is posted to the window's thread and the worker goes on
// at once, so it never waits on a window thread that may itself be waiting for the worker.
//
// A plain message is a modal box centred on the screen. An instrument's failure is a box
// that does not block the window (the operator can still stop or reset the devices), one per
// instrument at a time: repeats while it is open are counted in the diagnostic log, not shown,
// and while the shut-down holds device messages none is shown at all.
//
// A question (yes or cancel) is asked on the window's thread only, where its answer is awaited.
#include "core/UserMessages.h"

#include <memory>

class ModalMessages {
public:
    // Installs the handlers; the previous ones come back when this ends.
    ModalMessages();
    ~ModalMessages();
    ModalMessages(const ModalMessages&) = delete;
    ModalMessages& operator=(const ModalMessages&) = delete;

    // Instrument boxes open now (for tests and the shut-down's own checks).
    int OpenDeviceBoxes() const;

    struct DeviceBoxes;

private:
    MessageHandler fPrevious;
    DeviceMessageHandler fPreviousDevice;
    std::shared_ptr<DeviceBoxes> fBoxes;
    QuestionHandler fPreviousQuestion;
};
