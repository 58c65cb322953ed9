// CTest lists the tests by running the executable without the suite's environment, before any X
// server exists; the shared GUI main would then abort creating its QApplication. Listing needs
// no display, so fall back to the offscreen platform when none is named.
#include <QByteArray>
#include <QtGlobal>

namespace {

[[maybe_unused]] const bool kPlatformChosen = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    return true;
}();

} // namespace
