#include "richprint/PrintCommand.h"

#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include "platform/core/TextCodec.h"
#include "platform/gui/EditorFont.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace richprint {

namespace {

struct PrintOptions {
    bool plain = false;
    bool hasTitle = false;
    QString title;
    std::string output;
    std::vector<std::string> files; // the file system's bytes
};

// Text from outside (names, messages naming files) as the panes show it, whatever its bytes.
QString Shown(std::string_view bytes)
{
    return platform::core::DecodeText(bytes).text;
}

// Empty error: parsed.
QString Parse(std::vector<std::string> args, PrintOptions& options)
{
    if (!args.empty() && args.front() == "--print")
        args.erase(args.begin());
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyFiles || !a.starts_with('-') || a == "-") {
            options.files.push_back(a);
        } else if (a == "--") {
            onlyFiles = true;
        } else if (a == "--plain") {
            options.plain = true;
        } else if (a == "--title" || a == "-o") {
            if (i + 1 >= args.size())
                return Shown(a) + QStringLiteral(" needs a value");
            if (a == "-o") {
                options.output = args[++i];
            } else {
                options.hasTitle = true;
                options.title = Shown(args[++i]);
            }
        } else {
            return QStringLiteral("unknown option ") + Shown(a);
        }
    }
    if (options.files.empty())
        return QStringLiteral("no file to print");
    return {};
}

// The last part of a path.
std::string_view FileNamePart(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
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

int RunPrintCommand(const std::vector<std::string>& args, QTextStream& errors)
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
    for (const std::string& file : options.files) {
        auto edit = std::make_unique<TSRichEdit>();
        // The editor's font, as printing from the window uses it.
        edit->setFont(platform::gui::EditorFont());
        try {
            edit->loadFromFile(file);
        } catch (const base::Exception& e) {
            errors << "quellin: " << Shown(e.message()) << "\n";
            errors.flush();
            return 1;
        }
        sections.push_back({edit.get(), options.hasTitle ? options.title : Shown(FileNamePart(file))});
        edits.push_back(std::move(edit));
    }
    TRichPrinter printer;
    if (!options.output.empty())
        printer.SetPdfOutput(QFile::decodeName(QByteArray::fromStdString(options.output)));
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
        errors << "quellin: " << Shown(e.message()) << "\n";
        if (options.output.empty())
            errors << "quellin: to print to a file instead, add -o FILE.pdf\n";
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
    // The arguments as the shell gave them (the application object has taken out its own):
    // a file name's bytes stay exact whatever their encoding.
    return RunPrintCommand(std::vector<std::string>(argv + 1, argv + argc), errors);
}

} // namespace richprint
