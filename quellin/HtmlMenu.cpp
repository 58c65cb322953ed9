#include "quellin/HtmlMenu.h"

#include "quellin/HtmlMenuTree.h"
#include "quellin/HtmlSnippets.h"

namespace quellin {

namespace {

void addItems(QMenu* menu, const std::vector<HtmlMenuItem>& items,
              const std::function<void(const QString&)>& onSnippet)
{
    using Kind = HtmlMenuItem::Kind;
    for (const HtmlMenuItem& item : items) {
        switch (item.kind) {
        case Kind::Separator:
            menu->addSeparator();
            break;
        case Kind::Submenu:
            addItems(menu->addMenu(item.caption), item.children, onSnippet);
            break;
        case Kind::Inert:
            menu->addAction(item.caption);
            break;
        case Kind::Snippet: {
            QAction* action = menu->addAction(item.caption);
            // The section is the caption as it stands, "&&" included.
            QObject::connect(action, &QAction::triggered, menu,
                             [onSnippet, action] { onSnippet(action->text()); });
            break;
        }
        }
    }
}

} // namespace

void AddHtmlMenuItems(QMenu& menu, const std::function<void(const QString&)>& onSnippet)
{
    addItems(&menu, HtmlMenuTree(), onSnippet);
}

void InsertSnippet(platform::gui::RichEdit& editor, const QString& section)
{
    const QString text = SnippetText(platform::core::IniFile(QLatin1String(kSettingsFile)), section);
    if (!text.isEmpty())
        editor.replaceSelection(text);
}

} // namespace quellin
