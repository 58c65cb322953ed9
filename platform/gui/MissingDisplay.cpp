#include "platform/gui/MissingDisplay.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace platform::gui {

namespace {

std::string reportText; // the live report's message

void Report(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    std::fputs(reportText.c_str(), stderr);
    std::_Exit(2);
}

} // namespace

MissingDisplayReport::MissingDisplayReport(std::string message)
{
    reportText = std::move(message);
    previous_ = qInstallMessageHandler(Report);
}

MissingDisplayReport::~MissingDisplayReport()
{
    qInstallMessageHandler(previous_);
}

} // namespace platform::gui
