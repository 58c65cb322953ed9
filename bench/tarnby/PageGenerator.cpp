#include "PageGenerator.h"

#include <random>

namespace bench {

namespace {

const char* const kWords[] = {"club", "meeting", "results", "the", "library", "opening", "hours",
                              "news", "archive", "members", "contact", "photos", "of", "and",
                              "summer", "league", "history", "links", "catalogue", "events"};

class Words {
public:
    explicit Words(unsigned seed) : random_(seed) {}
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    std::string text(std::size_t count)
    {
        std::string out;
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0)
                out += ' ';
            out += kWords[pick(std::size(kWords))];
        }
        return out;
    }

private:
    std::mt19937 random_;
};

} // namespace

std::string LinkPage(std::size_t bytes, unsigned seed)
{
    Words words(seed);
    std::string page = "<html><head><title>links</title></head>\r\n<body bgcolor=\"#ffffff\">\r\n";
    page.reserve(bytes + 1024);
    std::size_t n = 0;
    while (page.size() < bytes) {
        ++n;
        const std::string url = "https://www.example.org/" + words.text(1) + "/page" + std::to_string(n) + ".html";
        switch (words.pick(10)) {
        case 0:
            page += "<a href=\"" + url + "\"><img src=\"img/" + std::to_string(n) + ".gif\" border=0></a>\r\n";
            break;
        case 1:
            page += "<a href=\"" + url + "#part\">" + words.text(2) + "</a>\r\n";
            break;
        case 2:
            page += "<li><a href=\"" + url + "\" target=\"_blank\">" + words.text(3) + "</a> (" + words.text(2) + ")\r\n";
            break;
        case 3:
            page += "<a href=\"" + url + "\">" + words.text(3) + "\r\n" + words.text(2) + "</a><br>\r\n";
            break;
        default:
            page += "<li><a href=\"" + url + "\"><b>" + words.text(2) + "</b>&nbsp;" + words.text(1) + "</a>\r\n";
            break;
        }
        page += "<p><font face=\"arial\">" + words.text(6 + words.pick(10)) + "</font></p>\r\n";
    }
    page += "</body></html>\r\n";
    return page;
}

std::string UnclosedAnchors(std::size_t count)
{
    std::string page;
    for (std::size_t i = 0; i < count; ++i)
        page += "<a href=\"page" + std::to_string(i) + ".html\" text\r\n";
    return page;
}

std::string MisnestedBolds(std::size_t count)
{
    std::string page = "<a href=\"first.html\">first</a>";
    for (const char* piece : {"<b>", "<div>", "</b>"})
        for (std::size_t i = 0; i < count; ++i)
            page += piece;
    return page + "<a href=\"last.html\">last</a>";
}

std::string TableSoup(std::size_t count)
{
    std::string page;
    for (std::size_t i = 0; i < count; ++i)
        page += "<table>misplaced <a href=\"cell" + std::to_string(i) + ".html\">cell</a><td>";
    return page;
}

std::string UnclosedComment(std::size_t bytes)
{
    Words words(3);
    std::string page = "<html><body><!-- old links\r\n";
    while (page.size() < bytes)
        page += "<a href=\"old.html\">" + words.text(4) + "</a>\r\n";
    return page;
}

std::string NoTagAtAll(std::size_t bytes)
{
    Words words(5);
    std::string page;
    while (page.size() < bytes)
        page += words.text(8) + "\r\n";
    return page;
}

std::string LinkWithLongText(std::size_t lines)
{
    Words words(9);
    std::string page = "<a href=\"long.html\">";
    for (std::size_t i = 0; i < lines; ++i)
        page += words.text(3) + (i % 3 == 0 ? "\r\n\r\n" : "\r\n");
    return page + "</a>\r\n";
}

std::string BinaryBytes(std::size_t bytes)
{
    std::mt19937 random(13);
    std::string out(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i)
        out[i] = (i + 1) % (1 << 20) == 0 ? '\n' : static_cast<char>(random() & 0xff);
    return out;
}

} // namespace bench
