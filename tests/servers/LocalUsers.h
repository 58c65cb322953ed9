#pragma once
// Local system users for servers that log in real accounts (sshd), and running a tool to its end.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace testservers {

// Runs program to its end (bounded: 20 s) with input on stdin; throws std::runtime_error with
// its output when it cannot start or fails. Returns its output.
QByteArray RunTool(const QString& program, const QStringList& arguments, const QByteArray& input = {});

// Creates the user (home "/", shell /bin/sh, no home folder made) with this password when it is
// missing; needs root, as CI runs. Parallel suites are serialised by a lock file.
void EnsureLocalUser(const std::string& name, const std::string& password);

// Hands path to the user (owner and group), without following links.
void GiveToUser(const std::string& path, const std::string& name);

} // namespace testservers
