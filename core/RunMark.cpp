#include "core/RunMark.h"

#include <QCoreApplication>

namespace {

struct TRun {
    QDateTime Started = QDateTime::currentDateTime();
    QString Mark = Started.toString(QStringLiteral("hhmmss")) + u'-' + QString::number(QCoreApplication::applicationPid());
};

const TRun& ThisRun()
{
    static const TRun run;
    return run;
}

} // namespace

QString RunMark() { return ThisRun().Mark; }

QDateTime RunStarted() { return ThisRun().Started; }
