#include "quellin/HtmlSnippets.h"

#include "platform/core/TextCodec.h"

namespace quellin {

QString SnippetText(const platform::core::IniFile& ini, const QString& section)
{
    const std::string name = section.toStdString();
    QString text;
    for (const std::string& key : ini.sectionKeys(name)) {
        text += platform::core::DecodeText(ini.readString(name, key)).text;
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace quellin
