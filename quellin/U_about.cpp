#include "quellin/U_about.h"

#include "platform/gui/Accessibility.h"
#include "quellin/Version.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace quellin {

namespace {

QLabel* line(QWidget* parent, QBoxLayout* layout, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    layout->addWidget(label);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Infos"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    column->addLayout(top);
    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setAccessibleName(QStringLiteral("Program icon"));
    const QIcon icon = QApplication::windowIcon().isNull() ? QIcon::fromTheme(QStringLiteral("text-html"))
                                                             : QApplication::windowIcon();
    ProgramIcon->setPixmap(icon.pixmap(32, 32));
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    top->addLayout(texts, 1);
    ProductName = line(this, texts, "ProductName", QStringLiteral("Quellin"));
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    ProductName->setFont(big);
    Version = line(this, texts, "Version", QStringLiteral("Version ") + QString::fromStdString(ProgramVersion()));
    Comments = line(this, texts, "Comments", QStringLiteral("Edits web pages where they live: on the FTP server."));
    Copyright = line(this, texts, "Copyright", QStringLiteral("Free software; no warranty."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    column->addWidget(buttons);
    platform::gui::NameForAccessibility(this);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace quellin
