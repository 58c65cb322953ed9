// The print command as a program of its own, so tests can run it as users do: in a separate
// process, without a display.
#include "richprint/PrintCommand.h"

int main(int argc, char** argv)
{
    return richprint::PrintCommandMain(argc, argv);
}
