#pragma once
// Reads back what a printed PDF shows, through poppler-utils: words with their boxes (in
// millimetres from the page's top-left corner), page text as laid out, page count, pixels.
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

struct PdfWord {
    int page = 0; // 1-based
    QString text;
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

struct PdfPageSize {
    double width = 0; // millimetres
    double height = 0;
};

std::vector<PdfWord> ReadWords(const QString& pdf);
std::vector<PdfWord> WordsOnPage(const std::vector<PdfWord>& words, int page);
// Words on a page in reading order, joined line by line (lines split by their top edge).
QStringList PageLines(const QString& pdf, int page);
int PageCount(const QString& pdf);
// The document's title in its information; empty when it has none.
QString DocumentTitle(const QString& pdf);
PdfPageSize PageSize(const QString& pdf);
// Without anti-aliasing, so lines keep their exact pixel widths; crop in pixels at dpi.
QImage RenderPage(const QString& pdf, int page, int dpi, const QRect& crop = {});
// Number of pixels darker than the threshold (gray level) in column x from y0 to y1.
int DarkRun(const QImage& image, int x, int y0, int y1, int threshold = 128);
