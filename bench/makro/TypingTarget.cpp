// The benchmark's target window: a text field that receives typed characters. When it holds
// the expected number of characters, or when nothing has arrived for two seconds after the
// first character, it writes the time of the last change (steady clock, nanoseconds) on the
// first line of the output file and its text (UTF-8) after it, and ends.
// Usage: makro_bench_target TITLE COUNT OUTPUT
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

#include <chrono>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    using Clock = std::chrono::steady_clock;
    const int expected = std::atoi(argv[2]);
    const QString output = QString::fromLocal8Bit(argv[3]);
    QPlainTextEdit edit;
    edit.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    edit.resize(600, 300);
    Clock::time_point lastChange{};
    auto finish = [&] {
        QFile file(output);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QByteArray::number(static_cast<qint64>(lastChange.time_since_epoch().count())) + '\n');
            file.write(edit.toPlainText().toUtf8());
        }
        app.quit();
    };
    QObject::connect(&edit, &QPlainTextEdit::textChanged, &app, [&] {
        lastChange = Clock::now();
        if (edit.document()->characterCount() - 1 >= expected)
            finish();
    });
    QTimer idle;
    QObject::connect(&idle, &QTimer::timeout, &app, [&] {
        if (lastChange != Clock::time_point{} && Clock::now() - lastChange > std::chrono::seconds(2))
            finish();
    });
    idle.start(100);
    QTimer::singleShot(120000, &app, finish);
    edit.show();
    return app.exec();
}
