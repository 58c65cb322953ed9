#include "platform/gui/Dialogs.h"

#include "platform/gui/QtDialogs.h"

namespace platform::gui {

namespace {

Dialogs* installed = nullptr;

} // namespace

std::vector<FileFilter> ParseFileFilter(const QString& filter)
{
    std::vector<FileFilter> result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        if (parts[i].isEmpty() && i + 1 >= parts.size())
            break;
        FileFilter entry{parts[i], {}};
        const QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
        for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            entry.patterns << p.trimmed();
        if (entry.patterns.isEmpty())
            entry.patterns << QStringLiteral("*");
        result.push_back(std::move(entry));
    }
    return result;
}

Dialogs& dialogs()
{
    if (installed)
        return *installed;
    static QtDialogs real;
    return real;
}

ScopedDialogs::ScopedDialogs(Dialogs& dialogs) : previous_(installed)
{
    installed = &dialogs;
}

ScopedDialogs::~ScopedDialogs()
{
    installed = previous_;
}

MessageButton ShowMessage(const QString& caption, const QString& text, MessageIcon icon,
                          MessageButtons buttons)
{
    return dialogs().message({caption, text, icon, buttons, NoButton});
}

QString InputBox(const QString& caption, const QString& prompt, const QString& preset)
{
    return dialogs().input({caption, prompt, preset}).value_or(preset);
}

} // namespace platform::gui
