#include "PdfReader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

QByteArray Run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

} // namespace

std::vector<PdfWord> ReadWords(const QString& pdf)
{
    const QString html = QString::fromUtf8(Run(QStringLiteral("pdftotext"),
                                               {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    static const char* const pattern
        = R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re";
    static const QRegularExpression tag(QString::fromLatin1(pattern));
    std::vector<PdfWord> words;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.push_back({page, text, m.captured(1).toDouble() * kMmPerPoint,
                         m.captured(2).toDouble() * kMmPerPoint, m.captured(3).toDouble() * kMmPerPoint,
                         m.captured(4).toDouble() * kMmPerPoint});
    }
    return words;
}

std::vector<PdfWord> WordsOnPage(const std::vector<PdfWord>& words, int page)
{
    std::vector<PdfWord> out;
    for (const PdfWord& w : words) {
        if (w.page == page)
            out.push_back(w);
    }
    return out;
}

QStringList PageLines(const QString& pdf, int page)
{
    std::map<long, QStringList> lines; // by top edge in tenths of a millimetre
    for (const PdfWord& w : WordsOnPage(ReadWords(pdf), page))
        lines[std::lround(w.top * 10)] << w.text;
    QStringList out;
    for (const auto& [top, words] : lines)
        out << words.join(QLatin1Char(' '));
    return out;
}

namespace {

// The value of one "Name: value" line of pdfinfo's report; empty when it has none.
QString InfoField(const QString& pdf, const char* name)
{
    const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}));
    const auto m = QRegularExpression(QStringLiteral("^%1:[ \t]+(.*)$").arg(QLatin1String(name)),
                                      QRegularExpression::MultilineOption)
                       .match(info);
    return m.captured(1).trimmed();
}

} // namespace

int PageCount(const QString& pdf)
{
    return InfoField(pdf, "Pages").toInt();
}

QString DocumentTitle(const QString& pdf)
{
    return InfoField(pdf, "Title");
}

PdfPageSize PageSize(const QString& pdf)
{
    const auto m = QRegularExpression(QString::fromLatin1(R"(([\d.]+) x ([\d.]+))"))
                       .match(InfoField(pdf, "Page size"));
    return {m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint};
}

QImage RenderPage(const QString& pdf, int page, int dpi, const QRect& crop)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    QStringList args{"-r", QString::number(dpi), "-f", QString::number(page), "-l",
                     QString::number(page), "-aa", "no", "-aaVector", "no", "-png", "-singlefile"};
    if (!crop.isNull())
        args << "-x" << QString::number(crop.x()) << "-y" << QString::number(crop.y()) << "-W"
             << QString::number(crop.width()) << "-H" << QString::number(crop.height());
    Run(QStringLiteral("pdftoppm"), args << pdf << base);
    return QImage(base + QStringLiteral(".png"));
}

int DarkRun(const QImage& image, int x, int y0, int y1, int threshold)
{
    int count = 0;
    for (int y = std::max(0, y0); y <= std::min(y1, image.height() - 1); ++y) {
        if (qGray(image.pixel(x, y)) < threshold)
            ++count;
    }
    return count;
}
