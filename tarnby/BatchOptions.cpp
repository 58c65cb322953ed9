#include "tarnby/BatchOptions.h"

#include "tarnby/UrlReference.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <functional>

namespace tarnby {

namespace {

struct Option {
    std::string_view longName;   // "--passes"
    std::string_view shortName;  // "-o", or empty
    std::string_view valueName;  // "N" when the option takes a value, else empty
    std::string_view help;
    std::function<void(BatchOptions&, const std::string& value)> apply;
};

int ParsePassCount(const std::string& value)
{
    if (value.size() != 1 || value[0] < '0' || value[0] > '3')
        throw BatchUsageError("--passes takes 0, 1, 2 or 3, not \"" + value + "\"");
    return value[0] - '0';
}

int ParseCount(const std::string& option, const std::string& value)
{
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
        throw BatchUsageError(option + " takes a whole number of 0 or more, not \"" + value + "\"");
    return std::stoi(value);
}

int ParsePositive(const std::string& option, const std::string& value)
{
    const int n = ParseCount(option, value);
    if (n < 1 || n > 1000)
        throw BatchUsageError(option + " takes a whole number from 1 to 1000, not \"" + value + "\"");
    return n;
}

const std::vector<Option>& Options()
{
    static const std::vector<Option> options = {
        {"--links", "", "", "load the pages, run the passes and write the link lines",
         [](BatchOptions&, const std::string&) {}},
        {"--passes", "", "N", "run passes 1 to N only (0 to 3; default 3)",
         [](BatchOptions& o, const std::string& v) { o.passes = ParsePassCount(v); }},
        {"--html-parser", "", "",
         "instead of the passes: an HTML parser's links, in page order",
         [](BatchOptions& o, const std::string&) { o.htmlParser = true; }},
        {"--base", "", "URL", "with --html-parser: the address of files and standard input",
         [](BatchOptions& o, const std::string& v) {
             if (!HasScheme(v))
                 throw BatchUsageError("--base takes an absolute URL, not \"" + v + "\"");
             o.baseUrl = v;
         }},
        {"--output", "-o", "FILE",
         "write the lines to FILE with CR LF line ends, as the window's Save does",
         [](BatchOptions& o, const std::string& v) { o.outputFile = v; }},
        {"--verbose", "-v", "", "write the fetch log of each URL to standard error",
         [](BatchOptions& o, const std::string&) { o.verbose = true; }},
        {"--proxy", "", "HOST[:PORT]", "fetch URLs through this HTTP proxy (port 80 by default)",
         [](BatchOptions& o, const std::string& v) {
             if (v.empty())
                 throw BatchUsageError("--proxy needs a host");
             o.proxy = v;
             o.check.proxy = v;
         }},
        {"--timeout", "", "SECONDS", "abort a fetch after SECONDS (default 120; 0: never)",
         [](BatchOptions& o, const std::string& v) {
             o.timeoutSeconds = ParseCount("--timeout", v);
             o.check.timeoutSeconds = o.timeoutSeconds;
         }},
        {"--max-redirects", "", "N", "abort a fetch that would follow more than N redirects (default 20)",
         [](BatchOptions& o, const std::string& v) {
             o.maxRedirects = ParseCount("--max-redirects", v);
             o.check.maxRedirects = o.maxRedirects;
         }},
        {"--cacert", "", "FILE", "also trust the CA certificate(s) in FILE (PEM) for https URLs",
         [](BatchOptions& o, const std::string& v) {
             if (v.empty())
                 throw BatchUsageError("--cacert needs a file");
             o.caCertFile = v;
             o.check.caCertFile = v;
         }},
        {"--check", "", "", "check every link of the pages: one URL|text|RESULT line each",
         [](BatchOptions& o, const std::string&) {
             if (o.action == BatchOptions::Action::Links)
                 o.action = BatchOptions::Action::Check;
         }},
        {"--recursive", "-r", "", "with --check: also every page of the site below the start page's folder",
         [](BatchOptions& o, const std::string&) { o.check.recursive = true; }},
        {"--fragments", "", "", "with --check: a link's #name must be an id of its page",
         [](BatchOptions& o, const std::string&) { o.check.fragments = true; }},
        {"--concurrency", "", "N", "with --check: at most N checks at once (default 16)",
         [](BatchOptions& o, const std::string& v) { o.check.concurrency = ParsePositive("--concurrency", v); }},
        {"--per-host", "", "N", "with --check: at most N of them to one host (default 4)",
         [](BatchOptions& o, const std::string& v) { o.check.perHost = ParsePositive("--per-host", v); }},
        {"--exclude", "", "REGEX", "with --check: do not check addresses that REGEX matches",
         [](BatchOptions& o, const std::string& v) {
             if (!QRegularExpression(QString::fromStdString(v)).isValid())
                 throw BatchUsageError("--exclude takes a regular expression, not \"" + v + "\"");
             o.check.exclude = v;
         }},
        {"--accept", "", "CODES", "with --check: working status codes (default 200-299)",
         [](BatchOptions& o, const std::string& v) {
             try {
                 o.check.accept = check::AcceptedCodes::Parse(v);
             } catch (const std::invalid_argument& e) {
                 throw BatchUsageError(e.what());
             }
         }},
        {"--format", "", "F", "with --check: lines (default), csv or json",
         [](BatchOptions& o, const std::string& v) {
             if (v == "lines")
                 o.check.format = check::ReportFormat::Lines;
             else if (v == "csv")
                 o.check.format = check::ReportFormat::Csv;
             else if (v == "json")
                 o.check.format = check::ReportFormat::Json;
             else
                 throw BatchUsageError("--format takes lines, csv or json, not \"" + v + "\"");
         }},
        {"--help", "-h", "", "show this help",
         [](BatchOptions& o, const std::string&) { o.action = BatchOptions::Action::Help; }},
        {"--version", "", "", "show the program's name and version",
         [](BatchOptions& o, const std::string&) {
             if (o.action != BatchOptions::Action::Help)
                 o.action = BatchOptions::Action::Version;
         }},
    };
    return options;
}

const Option* FindOption(std::string_view name)
{
    for (const auto& option : Options())
        if (name == option.longName || (!option.shortName.empty() && name == option.shortName))
            return &option;
    return nullptr;
}

} // namespace

bool IsBatchOption(std::string_view argument)
{
    if (argument.starts_with("--") && argument != "--")
        return true;
    return FindOption(argument) != nullptr;
}

BatchOptions ParseBatchArguments(const std::vector<std::string>& arguments)
{
    BatchOptions options;
    bool linksAsked = false;
    bool passesAsked = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            options.sources.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.starts_with("--") ? argument.find('=') : std::string::npos;
        const std::string name = argument.substr(0, equals);
        const Option* option = FindOption(name);
        if (!option)
            throw BatchUsageError("unknown option \"" + name + "\"");
        std::string value;
        if (option->valueName.empty()) {
            if (equals != std::string::npos)
                throw BatchUsageError(name + " takes no value");
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw BatchUsageError(name + " needs a value (" + std::string(option->valueName) + ")");
        }
        linksAsked = linksAsked || option->longName == "--links";
        passesAsked = passesAsked || option->longName == "--passes";
        option->apply(options, value);
    }
    if (options.action == BatchOptions::Action::Check) {
        if (passesAsked || options.htmlParser || !options.baseUrl.empty() || linksAsked)
            throw BatchUsageError("--check reads the links with the HTML parser: leave out --links, --passes, --html-parser and --base");
        if (options.sources.empty())
            throw BatchUsageError("no page given: name at least one FILE or URL");
        return options;
    }
    if (options.action != BatchOptions::Action::Links)
        return options;
    if (!linksAsked)
        throw BatchUsageError("--links is needed to print a page's links");
    if (options.htmlParser && passesAsked)
        throw BatchUsageError("--html-parser replaces the passes: leave out --passes");
    if (!options.baseUrl.empty() && !options.htmlParser)
        throw BatchUsageError("--base needs --html-parser (the passes keep addresses as written)");
    if (options.sources.empty())
        throw BatchUsageError("no page given: name at least one FILE or URL");
    return options;
}

std::string BatchUsage()
{
    std::string text =
        "Usage: tarnby --links [options] FILE-OR-URL...\n"
        "       tarnby --links --html-parser [--base URL] [options] FILE-OR-URL...\n"
        "       tarnby --check [--recursive] [options] FILE-OR-URL...\n"
        "       tarnby [FILE...]            (the window, with the files loaded)\n"
        "\n"
        "Loads the pages one after the other (all text lower-cased, as the window does at\n"
        "start-up), runs the reduction passes and writes one \"url|text\" line per link.\n"
        "The passes understand links written as <a href=\"...\"> (lower case after loading,\n"
        "one blank, href first, double quotes) and nothing else: links with other attributes\n"
        "first, single or no quotes, a \"#\" or \"target\" anywhere, or character references\n"
        "come out wrong or not at all. Their lines are in reverse page order and lower-cased.\n"
        "\n"
        "For pages of today use --html-parser: each page is read as it came, by the HTML\n"
        "standard's rules, and its links are written in page order with their case, their\n"
        "text decoded, and addresses made absolute against the page's address (or <base href>,\n"
        "or --base for files). A \"|\" in an address is written %7C, one in a text &#124;.\n"
        "\n"
        "A FILE of \"-\" is standard input; \"--\" ends the options. An \"http://\" or\n"
        "\"https://\" URL (certificate checked against the system's CA store) is fetched\n"
        "as the window's Get fetches it and kept in memory: nothing is written.\n"
        "\n"
        "--check fetches each page, reads its links with the HTML parser and checks every\n"
        "distinct address once (http and https: HEAD, else GET; file links on disk;\n"
        "mailto:, tel:, javascript: and other schemes skipped), many at a time. It writes\n"
        "one \"url|text|result\" line per link and a summary on standard error.\n"
        "\n"
        "Options:\n";
    for (const auto& option : Options()) {
        std::string names(option.shortName.empty() ? "    " : "");
        if (!option.shortName.empty())
            names.append(option.shortName).append(", ");
        names.append(option.longName);
        if (!option.valueName.empty())
            names.append(" ").append(option.valueName);
        names.resize(std::max<std::size_t>(names.size() + 1, 22), ' ');
        text.append("  ").append(names).append(option.help).append("\n");
    }
    text += "\n"
            "Exit status: 0 when the lines were written, 1 when a page could not be read or\n"
            "fetched or the lines could not be written (nothing is written then), 2 for a wrong\n"
            "command line. --check: 0 when every link works, 2 when some are broken, 1 when a\n"
            "page could not be read.\n";
    return text;
}

} // namespace tarnby
