// The window suite shares the GUI test main, which creates the application object; test
// discovery runs the executable outside CTest's environment, so the offscreen platform is
// chosen here, before main, unless a platform was chosen already.
#include <QByteArray>
#include <QtGlobal>

namespace {

const bool offscreen = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

} // namespace
