#pragma once
// quellin --print [--plain] [--title TEXT] [-o FILE.pdf] FILE...
//
// Prints text files through the print engine with Quellin's instance settings and the stored
// margins, with no window: all files form one document, each starting on a new page numbered
// from 1, its title ("{$TITLE}") the --title text or else its file name. The text is set in the
// editor's monospaced font, as printing from the window does. With -o the document is
// a PDF file, which appears only when it was written completely; without it, the job goes to
// the default printer. A file that cannot be read is named on standard error and nothing is
// printed.
//
// Exit status: 0 printed, 1 a file could not be read or the job failed, 2 wrong usage.
#include <QString>
#include <string>
#include <vector>

class QTextStream;

namespace richprint {

QString PrintCommandHelp();

// args: the arguments after the program name, beginning with "--print", as the shell gave their
// bytes (file names in the file system's encoding, whatever it is). Needs a QApplication (any
// platform: the offscreen one does). Messages go to errors; a job that cannot be printed
// without -o adds that -o FILE.pdf prints to a file.
int RunPrintCommand(const std::vector<std::string>& args, QTextStream& errors);

// The whole command as a program's main: creates the application object on the offscreen
// platform (no display needed), runs the command with messages on standard error.
int PrintCommandMain(int argc, char** argv);

} // namespace richprint
