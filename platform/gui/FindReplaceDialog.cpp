#include "platform/gui/FindReplaceDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform::gui {

namespace {

QPushButton* addButton(QVBoxLayout* column, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    column->addWidget(button);
    return button;
}

} // namespace

FindReplaceDialog::FindReplaceDialog(const FindReplaceRequest& request, QWidget* parent)
    : QDialog(parent), replace_(request.replace)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(replace_ ? tr("Replace") : tr("Find"));

    auto* fields = new QFormLayout;
    findText_ = new QLineEdit(request.findText);
    findText_->setAccessibleName(tr("Find what"));
    fields->addRow(tr("Fi&nd what:"), findText_);
    if (replace_) {
        replaceText_ = new QLineEdit;
        replaceText_->setAccessibleName(tr("Replace with"));
        fields->addRow(tr("Re&place with:"), replaceText_);
    }
    matchCase_ = new QCheckBox(tr("Match &case"));
    matchCase_->setAccessibleName(tr("Match case"));
    wholeWord_ = new QCheckBox(tr("Match &whole word only"));
    wholeWord_->setAccessibleName(tr("Match whole word only"));
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(wholeWord_);
    left->addWidget(matchCase_);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    QPushButton* findNext = addButton(buttons, tr("&Find Next"));
    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, [this] { report(FindAction::FindNext); });
    if (replace_) {
        connect(addButton(buttons, tr("&Replace")), &QPushButton::clicked, this,
                [this] { report(FindAction::Replace); });
        connect(addButton(buttons, tr("Replace &All")), &QPushButton::clicked, this,
                [this] { report(FindAction::ReplaceAll); });
    }
    connect(addButton(buttons, tr("Cancel")), &QPushButton::clicked, this, &QDialog::close);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

void FindReplaceDialog::report(FindAction action)
{
    if (!onAction_)
        return;
    FindReplaceQuery query;
    query.action = action;
    query.findText = findText_->text();
    if (replaceText_)
        query.replaceText = replaceText_->text();
    query.matchCase = matchCase_->isChecked();
    query.wholeWord = wholeWord_->isChecked();
    onAction_(query);
}

} // namespace platform::gui
