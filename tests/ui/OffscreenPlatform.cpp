// The widget tests are headless: unless a platform is chosen, they use the offscreen one, so
// that they also run where no display exists (the build's test discovery, CI).
#include <QByteArray>
#include <QtGlobal>

namespace {

const bool OffscreenByDefault = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    return true;
}();

} // namespace
