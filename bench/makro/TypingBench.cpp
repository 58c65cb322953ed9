// Types 10,000 characters (letters, digits, punctuation, capitals and a few characters that
// have no key on the layout) into a target window, with the macro player and with
// `xdotool type --delay 0`, and checks that every character arrived, in order, none doubled.
// Prints characters per second (median of RUNS runs) and the ratio to xdotool.
// Usage: makro_bench TARGET_PROGRAM [RUNS]   (needs DISPLAY)
#include "makro/MacroPlayer.h"
#include "platform/x11/X11Desktop.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr int characterCount = 10000;
const QString title = QStringLiteral("Typing Target");

QString SampleText()
{
    const QString common = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:!?-_+=*/()[]{}<>@#$%&'\"~|\\^`");
    const QString withoutKey = QString::fromUtf8("\xC3\xA9\xC3\xBC\xE2\x82\xAC\xC3\x9F"); // é ü € ß
    std::mt19937 random(7);
    QString text;
    for (int i = 0; i < characterCount; ++i) {
        if (i % 100 == 99)
            text += QLatin1Char('\n'); // short lines: a long one makes the target's layout slow
        else if (i % 500 == 250)
            text += withoutKey[static_cast<qsizetype>(random() % withoutKey.size())];
        else
            text += common[static_cast<qsizetype>(random() % common.size())];
    }
    return text;
}

// The text as macro lines: "<" written as its token, a line break as the Return key at the
// start of the next line (so that no line is taken for a comment or a command).
std::vector<std::string> MacroLines(const QString& text)
{
    std::vector<std::string> lines{"Window: " + title.toStdString()};
    const QString lineBreak = QStringLiteral("<RETURN>");
    for (QString line : text.split(QLatin1Char('\n'))) {
        line.replace(QLatin1Char('<'), QStringLiteral("<<>"));
        lines.push_back(((lines.size() > 1 ? lineBreak : QString()) + line).toStdString());
    }
    return lines;
}

struct Result {
    double seconds = 0;    // from the first key sent to the last character read
    qsizetype arrived = 0; // characters the target holds
    bool exact = false;
};

// Starts the target, waits for its window, types with typeInto, and waits until the target has
// all characters (it ends then). The time runs from the first key to the last one read.
Result Measure(const QString& targetProgram, const QString& text, const std::function<void()>& typeInto)
{
    QTemporaryDir folder;
    const QString output = folder.filePath("typed.txt");
    QProcess target;
    target.start(targetProgram, {title, QString::number(text.size()), output});
    target.waitForStarted();
    {
        platform::x11::X11Desktop desktop;
        for (int i = 0; i < 200 && !desktop.findWindow(title.toStdString()); ++i)
            QThread::msleep(20);
        desktop.bringToTop(desktop.findWindow(title.toStdString()));
    }
    QThread::msleep(200); // the target is idle when the clock starts
    const auto start = std::chrono::steady_clock::now();
    typeInto();
    target.waitForFinished(130000);
    Result result;
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const auto lastChange = std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(file.readLine().trimmed().toLongLong()));
    result.seconds = std::chrono::duration<double>(lastChange - start).count();
    const QString typed = QString::fromUtf8(file.readAll());
    result.arrived = typed.size();
    result.exact = typed == text;
    if (!result.exact) {
        qsizetype at = 0;
        while (at < typed.size() && at < text.size() && typed[at] == text[at])
            ++at;
        std::printf("  %lld of %lld characters arrived; first difference at %lld: expected \"%s\", got \"%s\"\n",
                    static_cast<long long>(typed.size()), static_cast<long long>(text.size()), static_cast<long long>(at),
                    qPrintable(text.mid(at, 12).toUtf8().toPercentEncoding()), qPrintable(typed.mid(at, 12).toUtf8().toPercentEncoding()));
    }
    return result;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: makro_bench TARGET_PROGRAM [RUNS]\n");
        return 2;
    }
    const QString targetProgram = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const QString text = SampleText();
    const std::vector<std::string> lines = MacroLines(text);

    std::vector<double> ours, peer;
    bool allExact = true;
    for (int run = 0; run < runs; ++run) {
        const Result player = Measure(targetProgram, text, [&] {
            platform::x11::X11Desktop desktop;
            makro::MacroPlayer(desktop, {}).run(lines);
        });
        const Result xdotool = Measure(targetProgram, text, [&] {
            QProcess::execute(QStringLiteral("xdotool"), {"type", "--delay", "0", "--", text});
        });
        std::printf("run %d: player %.2f s, %lld characters (%s); xdotool %.2f s, %lld characters (%s)\n", run + 1,
                    player.seconds, static_cast<long long>(player.arrived), player.exact ? "exact" : "MISMATCH",
                    xdotool.seconds, static_cast<long long>(xdotool.arrived), xdotool.exact ? "exact" : "MISMATCH");
        ours.push_back(static_cast<double>(player.arrived) / player.seconds);
        peer.push_back(static_cast<double>(xdotool.arrived) / xdotool.seconds);
        allExact = allExact && player.exact;
    }
    const double ourRate = Median(ours);
    const double peerRate = Median(peer);
    std::printf("%d characters, median of %d runs\n", characterCount, runs);
    std::printf("macro player        %8.0f characters/s\n", ourRate);
    std::printf("xdotool --delay 0   %8.0f characters/s\n", peerRate);
    std::printf("ratio player/xdotool %.2f (>= 1.0 is at least as fast)\n", ourRate / peerRate);
    std::printf("player: %s\n", allExact ? "every character arrived, in order, none doubled" : "CHARACTERS LOST OR DOUBLED");
    return allExact ? 0 : 1;
}
