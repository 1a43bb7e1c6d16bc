#include "tools/PseudoTerminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    fMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (fMaster < 0 || grantpt(fMaster) != 0 || unlockpt(fMaster) != 0) {
        fError = QStringLiteral("Cannot open a pseudo-terminal: ") + QString::fromLocal8Bit(std::strerror(errno));
        if (fMaster >= 0)
            ::close(fMaster);
        fMaster = -1;
        return;
    }
    fSlavePath = QString::fromLocal8Bit(ptsname(fMaster));
    fSlave = ::open(ptsname(fMaster), O_RDWR | O_NOCTTY);
    if (fSlave >= 0) {
        termios raw{};
        if (tcgetattr(fSlave, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(fSlave, TCSANOW, &raw);
        }
    }
}

PseudoTerminal::~PseudoTerminal()
{
    if (fSlave >= 0)
        ::close(fSlave);
    if (fMaster >= 0)
        ::close(fMaster);
}

QByteArray PseudoTerminal::Read(int timeoutMs)
{
    if (fMaster < 0)
        return {};
    pollfd pfd{fMaster, POLLIN, 0};
    if (::poll(&pfd, 1, timeoutMs) <= 0 || !(pfd.revents & POLLIN))
        return {};
    char buffer[512];
    const ssize_t n = ::read(fMaster, buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, int(n)) : QByteArray();
}

bool PseudoTerminal::Write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (fMaster >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fMaster, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return done == bytes.size();
}
