#pragma once
// Where the programs' settings files live: the stand-in for the folder that private-profile
// files opened by a bare name go to.
#include <QString>

namespace platform::core {

// $XDG_CONFIG_HOME when it is set to an absolute path, else ~/.config. Never empty; the folder
// need not exist yet.
QString ConfigFolder();

// A bare file name ("Tarnby.ini") lies in ConfigFolder(); a name with a folder part (relative
// or absolute) is used as it is.
QString ProfilePath(const QString& fileName);

} // namespace platform::core
