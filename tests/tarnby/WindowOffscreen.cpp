// The window suites share the GUI test main, which creates the application object. CTest runs
// each suite with its platform chosen (offscreen, or xcb on the test X server), but test
// discovery runs the executables outside that environment, perhaps without any display: there
// the offscreen platform is chosen, before main, so that listing the tests always works.
#include <QByteArray>
#include <QtGlobal>

namespace {

const bool platformChosen = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

} // namespace
