#include "tarnby/check/CheckReport.h"

#include <cstdio>

namespace tarnby::check {

namespace {

std::string Replaced(const std::string& text, char bar, const char* with)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == bar)
            out += with;
        else
            out += c;
    }
    return out;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

const char* VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Fine:
        return "fine";
    case Verdict::Redirected:
        return "redirected";
    case Verdict::Broken:
        return "broken";
    case Verdict::Skipped:
        return "skipped";
    case Verdict::Excluded:
        return "excluded";
    }
    return "";
}

std::string FormatResults(const std::vector<CheckedLink>& links, ReportFormat format)
{
    std::string out;
    if (format == ReportFormat::Csv)
        out += "url,text,result,verdict\n";
    if (format == ReportFormat::Json)
        out += "[";
    bool first = true;
    for (const CheckedLink& link : links) {
        switch (format) {
        case ReportFormat::Lines:
            out += Replaced(link.url, '|', "%7C") + "|" + Replaced(link.text, '|', "&#124;") + "|" + link.result + "\n";
            break;
        case ReportFormat::Csv:
            out += CsvField(link.url) + "," + CsvField(link.text) + "," + CsvField(link.result) + ","
                + VerdictName(link.verdict) + "\n";
            break;
        case ReportFormat::Json:
            out += std::string(first ? "\n" : ",\n") + "{\"url\":" + JsonString(link.url) + ",\"text\":"
                + JsonString(link.text) + ",\"result\":" + JsonString(link.result) + ",\"verdict\":\""
                + VerdictName(link.verdict) + "\"}";
            break;
        }
        first = false;
    }
    if (format == ReportFormat::Json)
        out += "\n]\n";
    return out;
}

std::string SummaryLine(const CheckSummary& s)
{
    return std::to_string(s.links) + " links (" + std::to_string(s.addresses) + " addresses on "
        + std::to_string(s.pages) + " pages): " + std::to_string(s.fine) + " fine, " + std::to_string(s.redirected)
        + " redirected, " + std::to_string(s.broken) + " broken, " + std::to_string(s.skipped) + " skipped, "
        + std::to_string(s.excluded) + " excluded";
}

} // namespace tarnby::check
