#include "makro/MacroTexts.h"

#include <QLocale>

namespace makro {

std::vector<std::string> InitialMacroLines()
{
    return {
        "; Macro Version 2.0  -  Macro Editor and Player",
        "; Script commands",
        ";   ExitOnError\t\tStrg+E\t   Repeat: [a],[Keys]\tStrg+R\t",
        ";   Sleep: [s][,ms]\t\tStrg+P\t   Start: [Program]\t\tStrg+S\t   ",
        ";   Wait [s],[Window name]\tStrg+A\t   Window: [Window name]\tStrg+W",
        ";   ; [Comment]\t\t\t  [Keys]",
        "; Program commands:",
        ";   Execute\t\tAlt+E\t   Load\t\t\tAlt+L",
        ";   Save\t\t\tAlt+S\t   Menu\t\t\tSHIFT+F10",
        "",
        "Sleep: 1",
        "<CONTROL><HOME><.CONTROL>",
        "<SHIFT><CONTROL><END><.CONTROL><.SHIFT>",
        "<DELETE>",
    };
}

std::vector<std::string> NewMacroLines(const UserInfo& user, const QDateTime& at)
{
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(at.date(), QLocale::ShortFormat);
    const QString time = locale.toString(at.time(), QLocale::LongFormat);
    return {
        "; Author:\t\t" + user.name + ", " + user.company,
        "; Written at:\t" + date.toStdString() + ", " + time.toStdString(),
    };
}

} // namespace makro
