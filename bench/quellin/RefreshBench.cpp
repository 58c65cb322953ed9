// Quellin's main window, timed: start-up to a shown window, and a refresh of the remote view
// (listing, parsing, filling and sorting the view, until the event loop is idle again).
//   quellin_bench PORT USER PASSWORD FOLDER RUNS
// Prints startup_seconds=, refresh_seconds= (the median of RUNS refreshes) and entries=.
#include "platform/gui/Application.h"
#include "quellin/ftp_main.h"
#include "tcpip/tcpip.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Returns once every event already queued (paints of the refilled view included) is handled.
void untilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    platform::gui::Application app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s PORT USER PASSWORD FOLDER RUNS\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    quellin::Tmainform form;
    form.FormCreate();
    untilIdle();
    std::printf("startup_seconds=%.4f\n", secondsSince(start));

    form.EditHostname->setText(QStringLiteral("127.0.0.1"));
    form.EditName->setText(QString::fromLocal8Bit(argv[2]));
    form.EditPasswort->setText(QString::fromLocal8Bit(argv[3]));
    form.EditPfad->setText(QString::fromLocal8Bit(argv[4]));
    form.EditPort->setValue(std::stoi(argv[1]));
    form.btn_connectClick();
    std::vector<double> times;
    for (int i = 0; i < std::stoi(argv[5]); ++i) {
        const auto begin = std::chrono::steady_clock::now();
        form.Refresh();
        untilIdle();
        times.push_back(secondsSince(begin));
    }
    std::sort(times.begin(), times.end());
    std::printf("refresh_seconds=%.4f\n", times[times.size() / 2]);
    std::printf("entries=%d\n", form.RemoteItems->rowCount());
    return 0;
}
