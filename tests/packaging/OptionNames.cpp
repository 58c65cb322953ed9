#include "OptionNames.h"

#include <regex>
#include <sstream>
#include <vector>

namespace packaging {

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// "\-" is a hyphen, "\fB" "\fI" "\fR" "\fP" "\f(CW" change fonts, "\&" is nothing.
std::string PlainRoff(std::string line)
{
    static const std::regex fontChange(R"(\\f(\(..|\[[^\]]*\]|.))");
    line = std::regex_replace(line, fontChange, "");
    std::string plain;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '-' || line[i + 1] == '&')) {
            if (line[++i] == '-')
                plain += '-';
            continue;
        }
        plain += line[i] == '"' ? ' ' : line[i];
    }
    return plain;
}

// The request of a roff line (".TP", ".SH"), or empty for a text line.
std::string Request(const std::string& line)
{
    if (line.empty() || (line[0] != '.' && line[0] != '\''))
        return {};
    const std::size_t end = line.find_first_of(" \t");
    return line.substr(0, end);
}

std::string Arguments(const std::string& line)
{
    const std::size_t end = line.find_first_of(" \t");
    return end == std::string::npos ? std::string() : line.substr(end + 1);
}

} // namespace

OptionSet OptionsInText(const std::string& text)
{
    static const std::regex option(R"((^|[^A-Za-z0-9_\-])(--?[A-Za-z][A-Za-z0-9]*(-[A-Za-z0-9]+)*))");
    OptionSet options;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        options.insert((*it)[2].str());
    return options;
}

OptionSet OptionsInManPage(const std::string& roff)
{
    OptionSet options;
    bool inOptions = false;
    bool tagFollows = false;
    for (const std::string& line : Lines(roff)) {
        const std::string request = Request(line);
        if (request == ".SH") {
            inOptions = PlainRoff(Arguments(line)).find("OPTIONS") != std::string::npos;
            tagFollows = false;
            continue;
        }
        if (!inOptions)
            continue;
        if (request == ".TP") {
            tagFollows = true;
            continue;
        }
        if (tagFollows) {
            const std::string tag = request.empty() ? line : Arguments(line);
            options.merge(OptionsInText(PlainRoff(tag)));
            tagFollows = false;
        }
    }
    return options;
}

std::set<std::string> ManPageSections(const std::string& roff)
{
    std::set<std::string> sections;
    for (const std::string& line : Lines(roff)) {
        if (Request(line) != ".SH")
            continue;
        std::string name = PlainRoff(Arguments(line));
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        sections.insert(name);
    }
    return sections;
}

} // namespace packaging
