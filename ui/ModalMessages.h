#pragma once
// The handler of the modal-message seam for the running program: a message box centred on
// the screen, shown on the window's thread. A message raised on a worker thread is posted to
// the window's thread and the worker goes on at once, so it never waits on a window thread
// that may itself be waiting for the worker.
#include "core/UserMessages.h"

class ModalMessages {
public:
    // Installs the handler; the previous one comes back when this ends.
    ModalMessages();
    ~ModalMessages();
    ModalMessages(const ModalMessages&) = delete;
    ModalMessages& operator=(const ModalMessages&) = delete;

private:
    MessageHandler fPrevious;
};
