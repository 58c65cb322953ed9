// Printing long texts: `--print --plain` of 20,000 lines to PDF against enscript | ps2pdf on the
// same file (with page counts), the same lines coloured like the HTML check colours them
// (20,000 and 40,000 lines, to see that the time grows linearly), and the preview of 20,000
// lines (time until the last page is shown, peak memory).
// Usage: richprint_print_bench --work DIR      (the benchmark)
//        richprint_print_bench --print ...     (the print command, as the program runs it)
//        richprint_print_bench --preview FILE  (one preview; prints seconds and peak KB)
//        richprint_print_bench --coloured FILE (coloured printing of FILE to FILE.pdf)
#include "richprint/PrintCommand.h"
#include "richprint/RichPreview.h"
#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

QString WriteLines(const QString& folder, int count)
{
    const QString path = folder + QStringLiteral("/lines%1.html").arg(count);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    // Numbers of one width: every line is as long as every other, so 40,000 lines are twice
    // the work of 20,000 (none of them wraps).
    for (int i = 1; i <= count; ++i)
        file.write(QStringLiteral("<tr><td class=\"n\">%1</td><td><a href=\"page%1.html\">link %1</a> "
                                  "and text</td></tr>\r\n")
                       .arg(i, 5, 10, QLatin1Char('0'))
                       .toUtf8());
    return path;
}

// Seconds of processor time used by this process and its waited-for children so far.
double CpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime})
            total += double(t.tv_sec) + double(t.tv_usec) / 1e6;
    }
    return total;
}

// Medians of the elapsed time and of the processor time: on a shared machine the elapsed time
// also counts waiting for the processor, the processor time does not.
struct Timing {
    double seconds = 0;
    double cpu = 0;
};

template <typename F>
Timing Median(int runs, F&& work)
{
    std::vector<double> times;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        const double cpuBefore = CpuSeconds();
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e9);
        cpu.push_back(CpuSeconds() - cpuBefore);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return {times[times.size() / 2], cpu[cpu.size() / 2]};
}

bool Run(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

int Pages(const QString& pdf)
{
    QByteArray info;
    Run(QStringLiteral("pdfinfo"), {pdf}, &info);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(info));
    return m.captured(1).toInt();
}

// Tags blue, attribute values red, as the HTML check leaves a page: many formats on each line.
void Colour(richprint::TSRichEdit& edit)
{
    QTextCharFormat tag;
    tag.setForeground(Qt::blue);
    QTextCharFormat value;
    value.setForeground(Qt::red);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression values(QStringLiteral("\"[^\"]*\""));
    QTextCursor cursor(edit.document());
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (const auto& [pattern, format] : {std::pair{&tags, &tag}, std::pair{&values, &value}}) {
            for (auto it = pattern->globalMatch(text); it.hasNext();) {
                const auto m = it.next();
                cursor.setPosition(block.position() + int(m.capturedStart()));
                cursor.setPosition(block.position() + int(m.capturedEnd()), QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(*format);
            }
        }
    }
}

Timing ColouredPrint(const QString& file, const QString& pdf, int* pages)
{
    richprint::TSRichEdit edit;
    edit.loadFromFile(file.toStdString());
    Colour(edit);
    richprint::TRichPrinter printer;
    printer.SetPdfOutput(pdf);
    printer.ApplyQuellinDefaults();
    printer.SetShowProgress(false);
    const Timing timing = Median(3, [&] { printer.PrintRichEdit(edit, 1); });
    *pages = Pages(pdf);
    return timing;
}

int Preview(const QString& file)
{
    richprint::TSRichEdit edit;
    edit.loadFromFile(file.toStdString());
    richprint::TRichPrinter printer;
    printer.ApplyQuellinDefaults();
    QElapsedTimer t;
    t.start();
    richprint::TRichPreviewForm* form = printer.PreviewRichEdit(edit);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %ld %d\n", seconds, usage.ru_maxrss, form->LastIndex() + 1);
    delete form;
    return 0;
}

int Benchmark(const QString& self, const QString& work)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString lines20 = WriteLines(work, 20000);
    const QString lines40 = WriteLines(work, 40000);
    const QString pdf = work + QStringLiteral("/out.pdf");

    const Timing plain = Median(3, [&] { Run(self, {"--print", "--plain", "-o", pdf, lines20}); });
    const int plainPages = Pages(pdf);
    const QString peerCommand = QStringLiteral("enscript -q -p - '%1' | ps2pdf - '%2'").arg(lines20, pdf);
    const Timing peer = Median(3, [&] { Run(QStringLiteral("sh"), {"-c", peerCommand}); });
    const int peerPages = Pages(pdf);
    std::printf("plain 20,000 lines: quellin --print --plain %.2f s (processor %.2f s, %d pages), "
                "enscript | ps2pdf %.2f s (processor %.2f s, %d pages), ratio %.2f\n",
                plain.seconds, plain.cpu, plainPages, peer.seconds, peer.cpu, peerPages,
                plain.seconds / peer.seconds);

    int pages20 = 0;
    int pages40 = 0;
    const Timing coloured20 = ColouredPrint(lines20, pdf, &pages20);
    const Timing coloured40 = ColouredPrint(lines40, pdf, &pages40);
    std::printf("coloured 20,000 lines: %.2f s (processor %.2f s, %d pages), %.2f x plain; "
                "40,000 lines: %.2f s (processor %.2f s, %d pages), %.2f x 20,000 "
                "(processor time: %.2f x; per page: %.2f x)\n",
                coloured20.seconds, coloured20.cpu, pages20, coloured20.seconds / plain.seconds,
                coloured40.seconds, coloured40.cpu, pages40,
                coloured40.seconds / coloured20.seconds, coloured40.cpu / coloured20.cpu,
                (coloured40.cpu / std::max(pages40, 1)) / (coloured20.cpu / std::max(pages20, 1)));

    QByteArray out;
    Run(self, {"--preview", lines20}, &out);
    const QList<QByteArray> fields = out.trimmed().split(' ');
    if (fields.size() == 3)
        std::printf("preview 20,000 lines: last page shown after %s s, %s pages, peak memory %.0f MB\n",
                    fields[0].constData(), fields[2].constData(), fields[1].toDouble() / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--print") == 0)
        return richprint::PrintCommandMain(argc, argv);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--preview"))
        return Preview(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--coloured")) {
        int pages = 0;
        const Timing timing = ColouredPrint(args[2], args[2] + QStringLiteral(".pdf"), &pages);
        std::printf("%.3f s (processor %.3f s), %d pages\n", timing.seconds, timing.cpu, pages);
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("--work"))
        return Benchmark(args[0], args[2]);
    std::fprintf(stderr, "usage: richprint_print_bench --work DIR\n");
    return 2;
}
