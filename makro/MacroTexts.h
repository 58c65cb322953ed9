#pragma once
// The texts the macro window starts from: the lines it holds at program start, and the two
// header lines of a new macro.
#include <QDateTime>
#include <string>
#include <vector>

namespace makro {

struct UserInfo {
    std::string name;
    std::string company;
};

// The 14 lines the macro window holds when the program starts (a worked example that
// empties the focused text after a second, under comments naming the commands).
std::vector<std::string> InitialMacroLines();

// "; Author:\t\tNAME, COMPANY" and "; Written at:\tDATE, TIME" (the system's short date and
// long time formats).
std::vector<std::string> NewMacroLines(const UserInfo& user, const QDateTime& at);

} // namespace makro
