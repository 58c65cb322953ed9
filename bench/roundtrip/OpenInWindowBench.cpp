// Opening a page into Quellin's editor through the main window, timed, with the memory it took:
//   roundtrip_window_bench remote PORT USER PASSWORD NAME   the remote view's open of NAME in /
//   roundtrip_window_bench local FILE                       the editor's own Open of a local file
// Each run is one process, so the peak is this open's own. Prints seconds= (from the command
// to the text shown, the event loop idle again) and peak_mb= (the process's resident peak
// during the open, less what it held before).
#include "platform/gui/Application.h"
#include "platform/gui/ScriptedDialogs.h"
#include "quellin/ftp_main.h"
#include "richprint/TRECode.h"
#include "tcpip/tcpip.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

void untilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

// A field of /proc/self/status in kB.
long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

// Resets the resident peak to the current size, so VmHWM is the peak from now on.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv)
{
    platform::gui::Application app(argc, argv);
    const std::string action = argc > 1 ? argv[1] : "";
    if (!((action == "remote" && argc == 6) || (action == "local" && argc == 3))) {
        std::fprintf(stderr, "usage: %s remote PORT USER PASSWORD NAME | local FILE\n", argv[0]);
        return 2;
    }
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scoped(dialogs);
    quellin::Tmainform form;
    form.FormCreate();
    form.show();
    std::function<void()> open;
    if (action == "remote") {
        form.EditHostname->setText(QStringLiteral("127.0.0.1"));
        form.EditName->setText(QString::fromLocal8Bit(argv[3]));
        form.EditPasswort->setText(QString::fromLocal8Bit(argv[4]));
        form.EditPfad->setText(QStringLiteral("/"));
        form.EditPort->setValue(std::stoi(argv[2]));
        form.btn_connectClick();
        const std::string name = argv[5];
        const auto& items = form.RemoteItems->items();
        const auto item = std::find_if(items.begin(), items.end(), [&](const quellin::RemoteItem& i) { return i.name == name; });
        if (item == items.end()) {
            std::fprintf(stderr, "%s is not in the remote view\n", name.c_str());
            return 1;
        }
        open = [&form, item = *item] { form.OpenRemoteFile(item); };
    } else {
        dialogs.answerOpen({ QString::fromLocal8Bit(argv[2]) });
        open = [&form] { form.Files->open(); };
    }
    untilIdle();
    const long before = statusKb("VmRSS");
    resetPeak();
    const auto start = std::chrono::steady_clock::now();
    open();
    untilIdle();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = statusKb("VmHWM");
    if (form.Memo->lineCount() == 0) {
        std::fprintf(stderr, "nothing was opened\n");
        return 1;
    }
    std::printf("seconds=%.4f\npeak_mb=%.1f\n", seconds, static_cast<double>(peak - before) / 1024.0);
    return 0;
}
