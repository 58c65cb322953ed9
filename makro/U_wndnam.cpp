#include "makro/U_wndnam.h"

#include "makro/CaptionedButton.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace makro {

namespace {

// Titles are read up to this many bytes (cut where a UTF-8 character begins).
constexpr std::size_t maxTitleLength = 254;

std::string CutTitle(std::string title)
{
    if (title.size() <= maxTitleLength)
        return title;
    std::size_t end = maxTitleLength;
    while (end > 0 && (static_cast<unsigned char>(title[end]) & 0xC0) == 0x80)
        --end;
    title.resize(end);
    return title;
}

} // namespace

TWindNameDlg::TWindNameDlg(DesktopFactory desktop, QWidget* parent)
    : QDialog(parent), desktop_(std::move(desktop))
{
    setWindowTitle(QStringLiteral("Window name"));
    ListBox1 = new QListWidget(this);
    ListBox1->setAccessibleName(QStringLiteral("Window names"));
    btnNew = CaptionedButton(QStringLiteral("&Refresh"), this);
    OKBtn = CaptionedButton(QStringLiteral("&OK"), this);
    CancelBtn = CaptionedButton(QStringLiteral("&Cancel"), this);
    OKBtn->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    buttons->addWidget(btnNew);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);

    connect(btnNew, &QPushButton::clicked, this, &TWindNameDlg::FillWindowList);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    setFixedSize(420, 300);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // At program start a desktop without an X server leaves the list empty instead of
    // stopping the program; Refresh then reports why.
    try {
        FillWindowList();
    } catch (const base::Exception&) {
        ListBox1->clear();
    }
}

void TWindNameDlg::FillWindowList()
{
    ListBox1->clear();
    for (const std::string& title : desktop_()->windowTitles())
        ListBox1->addItem(QString::fromStdString(CutTitle(title)));
}

std::string TWindNameDlg::selectedTitle() const
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty())
        throw EListError("Der Index der Liste überschreitet das Maximum (-1)");
    return selected.front()->text().toStdString();
}

} // namespace makro
