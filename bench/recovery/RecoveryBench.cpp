// Recovery copies of a big text, timed in the real main window (offscreen):
//   recovery_bench FOLDER MEGABYTES RUNS
// Prints keystroke_plain_ms= and keystroke_hooked_ms= (median time of one typed character in the
// editor without and with the recovery hook attached: the hook must add nothing to typing),
// save_ms= (median of one recovery save of the whole text, as the idle timer runs it, until the
// copy is written) and window_held_ms= (the longest the window's thread was held at a time).
#include "platform/gui/Application.h"
#include "quellin/RecoveryHook.h"
#include "quellin/ftp_main.h"
#include "richprint/TRECode.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsOf(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void TypeOneCharacter(QWidget* editor)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(editor, &press);
}

} // namespace

int main(int argc, char** argv)
{
    platform::gui::Application app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FOLDER MEGABYTES RUNS\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::size_t megabytes = std::stoul(argv[2]);
    const int runs = std::max(1, std::atoi(argv[3]));

    std::string text;
    const std::string line = "<p>A line of an edited page, seventy-odd bytes long, as pages have.</p>\n";
    while (text.size() < megabytes * 1024 * 1024)
        text += line;

    quellin::Tmainform form;
    form.Memo->setText(text);
    form.Memo->setModified(true);
    QWidget* editor = form.Memo->viewport();
    form.Memo->setFocus();

    std::vector<double> plain, hooked, saves;
    for (int i = 0; i < runs; ++i)
        plain.push_back(MillisecondsOf([&] { TypeOneCharacter(editor); }));
    quellin::RecoverySession session(folder);
    quellin::RecoveryHook hook(form, session);
    for (int i = 0; i < runs; ++i)
        hooked.push_back(MillisecondsOf([&] { TypeOneCharacter(editor); }));
    std::vector<double> held;
    for (int i = 0; i < runs; ++i) {
        saves.push_back(MillisecondsOf([&] {
            held.push_back(MillisecondsOf([&] { hook.saveNow(); }));
            hook.finishWork();
        }));
    }
    held.push_back(std::chrono::duration<double, std::milli>(hook.capture().longestSlice()).count());
    hook.endCleanly();

    std::printf("text_bytes=%zu\nkeystroke_plain_ms=%.3f\nkeystroke_hooked_ms=%.3f\nsave_ms=%.1f\nwindow_held_ms=%.1f\n",
                text.size(), Median(plain), Median(hooked), Median(saves), *std::max_element(held.begin(), held.end()));
    return 0;
}
