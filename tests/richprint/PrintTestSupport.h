#pragma once
// A print engine with Quellin's instance values writing PDF files into a temporary folder that
// also holds the settings store; its edit is filled per test.
#include "PdfReader.h"
#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCharFormat>
#include <gtest/gtest.h>

class PrintTest : public testing::Test {
public:
    PrintTest()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        printer.SetPdfOutput(pdf);
        printer.ApplyQuellinDefaults();
        printer.SetShowProgress(false);
        printer.SetTitle(QStringLiteral("notes.txt"));
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPointSize(10);
        edit.setFont(font);
    }
    ~PrintTest() override { qunsetenv("XDG_CONFIG_HOME"); }

    void Print(const QString& text)
    {
        edit.setText(text.toStdString());
        printer.PrintRichEdit(edit, 1);
    }
    // n lines "line 1" .. "line n", CR LF separated.
    static QString Lines(int n)
    {
        QStringList lines;
        for (int i = 1; i <= n; ++i)
            lines << QStringLiteral("line %1").arg(i);
        return lines.join(QStringLiteral("\r\n"));
    }
    // Left edge of the text area and page width in mm for Quellin's margins on A4.
    static constexpr double kTextLeft = 25;

    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    richprint::TSRichEdit edit;
    richprint::TRichPrinter printer;
};
