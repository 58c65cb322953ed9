#pragma once
// Qt ends a window program with an abort (status 134) when no display can be opened. Kept
// alive around the creation of the application object, a MissingDisplayReport tells the user
// instead what is missing, in the program's own words, and ends the program with status 2
// ("wrong use"). Other messages Qt prints meanwhile go to standard error as usual.
// Only one report may be alive at a time.
#include <QtGlobal>
#include <string>

namespace platform::gui {

class MissingDisplayReport {
public:
    // message: the whole text for standard error, ending with a line break.
    explicit MissingDisplayReport(std::string message);
    ~MissingDisplayReport();
    MissingDisplayReport(const MissingDisplayReport&) = delete;
    MissingDisplayReport& operator=(const MissingDisplayReport&) = delete;

private:
    QtMessageHandler previous_;
};

} // namespace platform::gui
