#include "quellin/CheckCommand.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "platform/core/TextCodec.h"
#include "quellin/HtmlProblems.h"

#include <QFile>
#include <QFileInfo>

#include <ostream>

namespace quellin {

namespace {

// A file name as the lines show it: a control character (a line break above all) would break
// the one-problem-per-line form that tools read, so it shows as "?".
std::string Shown(const std::string& file)
{
    std::string shown = file;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return shown;
}

} // namespace

int CheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            err << "quellin: --check: unknown option " << arg << "\nUsage: quellin --check FILE...\n";
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        err << "quellin: --check needs at least one FILE\nUsage: quellin --check FILE...\n";
        return 2;
    }
    bool problems = false;
    for (const std::string& file : files) {
        std::string bytes;
        try {
            bytes = base::ReadWholeFile(file);
        } catch (const base::Exception& e) {
            err << "quellin: " << Shown(file) << ": " << e.what() << "\n";
            problems = true;
            continue;
        }
        const QByteArray text = platform::core::DecodeText(bytes).text.toUtf8();
        const QString folder = QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).absolutePath();
        for (const HtmlProblem& problem : FindHtmlProblems(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), folder)) {
            out << Shown(file) << ':' << problem.line << ':' << problem.column << ": " << problem.message << '\n';
            problems = true;
        }
    }
    out.flush();
    return problems ? 1 : 0;
}

} // namespace quellin
