#pragma once
// A Quellin main window under test: its own config folder (QUELLIN.INI), scripted dialogs, and
// handlers run as the application runs them (an exception goes to the default handler, which
// shows it through the dialog seam).
#include "TempConfig.h"

#include "platform/gui/Application.h"
#include "platform/gui/ListView.h"
#include "platform/gui/ScriptedDialogs.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/ftp_main.h"
#include "tcpip/Ftp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

class QuellinWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        form.reset();
        EXPECT_EQ(dialogs.unanswered(), 0) << "a dialog was asked that the test did not answer";
        EXPECT_EQ(dialogs.pending(), 0u) << "an answer was never asked for";
    }

    void writeSettings(const std::string& text, QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
    {
        config.write(QStringLiteral("QUELLIN.INI"), text);
        QFile::setPermissions(config.file(QStringLiteral("QUELLIN.INI")), permissions);
    }

    // Start-up as the program runs it.
    void open()
    {
        form = std::make_unique<quellin::Tmainform>();
        form->FormCreate();
    }

    // Runs a command as the application does: an escaping exception is shown, not raised.
    void command(const std::function<void()>& handler)
    {
        try {
            handler();
        } catch (...) {
            platform::gui::Application::showException(std::current_exception());
        }
    }

    // The next command fails: its error box is answered.
    void expectError() { dialogs.answerMessage(platform::gui::Ok); }

    // The error box the last command showed ("" when none).
    QString shownError() const
    {
        for (auto q = dialogs.asked().rbegin(); q != dialogs.asked().rend(); ++q)
            if (q->kind == platform::gui::ScriptedDialogs::Kind::Message)
                return q->message.text;
        return {};
    }

    void connectTo(std::uint16_t port, const QString& user, const QString& password, const QString& path)
    {
        form->EditHostname->setText(QStringLiteral("127.0.0.1"));
        form->EditName->setText(user);
        form->EditPasswort->setText(password);
        form->EditPfad->setText(path);
        form->EditPort->setValue(port);
        form->remote().setSilenceTimeout(std::chrono::seconds(10));
        command([&] { form->btn_connectClick(); });
    }

    // The FTP session under the window's remote files (the window must be on an FTP site).
    tcpip::T_FTP& ftpSession() const { return *quellin::FtpSessionOf(form->remote()); }
    bool loggedIn() const { return form->remote().State() != remote::ConnectionState::LoggedOut; }
    bool remoteBusy() const { return form->remote().State() == remote::ConnectionState::Busy; }

    std::vector<std::string> shownNames() const
    {
        std::vector<std::string> names;
        for (const auto& item : form->RemoteItems->items())
            names.push_back(item.name);
        return names;
    }

    QString cell(int row, int column) const
    {
        const auto* model = form->RemoteItems.get();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }

    int rowOf(const std::string& name) const
    {
        const auto& items = form->RemoteItems->items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].name == name)
                return static_cast<int>(i);
        return -1;
    }

    void select(const std::string& name) { form->FTPView->setSelectedRow(rowOf(name)); }

    QStringList pathItems() const
    {
        QStringList items;
        for (int i = 0; i < form->cbx_path->count(); ++i)
            items << form->cbx_path->itemText(i);
        return items;
    }

    TempConfig config;
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scopedDialogs{ dialogs };
    std::unique_ptr<quellin::Tmainform> form;
};
