#include "richprint/PrintCommand.h"

#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace richprint {

namespace {

struct PrintOptions {
    bool plain = false;
    bool hasTitle = false;
    QString title;
    QString output;
    QStringList files;
};

// Empty error: parsed.
QString Parse(QStringList args, PrintOptions& options)
{
    if (!args.isEmpty() && args.front() == QLatin1String("--print"))
        args.pop_front();
    bool onlyFiles = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyFiles || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            options.files << a;
        } else if (a == QLatin1String("--")) {
            onlyFiles = true;
        } else if (a == QLatin1String("--plain")) {
            options.plain = true;
        } else if (a == QLatin1String("--title") || a == QLatin1String("-o")) {
            if (i + 1 >= args.size())
                return a + QStringLiteral(" needs a value");
            if (a == QLatin1String("-o")) {
                options.output = args[++i];
            } else {
                options.hasTitle = true;
                options.title = args[++i];
            }
        } else {
            return QStringLiteral("unknown option ") + a;
        }
    }
    if (options.files.isEmpty())
        return QStringLiteral("no file to print");
    return {};
}

} // namespace

QString PrintCommandHelp()
{
    return QStringLiteral(
        "Usage: quellin --print [--plain] [--title TEXT] [-o FILE.pdf] FILE...\n"
        "Prints text files with header, footer, margins and page borders, without a window.\n"
        "  --plain       one font for the whole text instead of the text's own formats\n"
        "  --title TEXT  the header's title (default: each file's name)\n"
        "  -o FILE.pdf   write a PDF file instead of printing on the default printer\n"
        "The margins come from the page setup's stored settings.\n");
}

int RunPrintCommand(const QStringList& args, QTextStream& errors)
{
    PrintOptions options;
    const QString usageError = Parse(args, options);
    if (!usageError.isEmpty()) {
        errors << "quellin: " << usageError << "\n" << PrintCommandHelp();
        errors.flush();
        return 2;
    }
    // Every file is read before anything is printed.
    std::vector<std::unique_ptr<TSRichEdit>> edits;
    std::vector<TRichPrinter::Section> sections;
    for (const QString& file : options.files) {
        auto edit = std::make_unique<TSRichEdit>();
        try {
            edit->loadFromFile(file.toStdString());
        } catch (const base::Exception& e) {
            errors << "quellin: " << QString::fromStdString(e.message()) << "\n";
            errors.flush();
            return 1;
        }
        sections.push_back({edit.get(),
                            options.hasTitle ? options.title : QFileInfo(file).fileName()});
        edits.push_back(std::move(edit));
    }
    TRichPrinter printer;
    if (!options.output.isEmpty())
        printer.SetPdfOutput(options.output);
    // The job's name in the printer's queue.
    QStringList titles;
    for (const TRichPrinter::Section& section : sections)
        titles << section.title;
    titles.removeDuplicates();
    printer.SetTitle(titles.join(QStringLiteral(", ")));
    printer.ApplyQuellinDefaults();
    printer.SetShowProgress(false);
    // The stored settings are loaded at the start of the job; the command line wins over them.
    if (options.plain)
        printer.OnBeginDoc = [&printer] { printer.SetPlainText(true); };
    try {
        printer.PrintSections(sections);
    } catch (const base::Exception& e) {
        errors << "quellin: " << QString::fromStdString(e.message()) << "\n";
        errors.flush();
        return 1;
    }
    return 0;
}

int PrintCommandMain(int argc, char** argv)
{
    // Nothing is shown: the offscreen platform works with and without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream errors(stderr);
    return RunPrintCommand(app.arguments().mid(1), errors);
}

} // namespace richprint
