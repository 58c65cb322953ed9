#include "tarnby/BatchMode.h"
#include "tarnby/GuiStart.h"

int main(int argc, char** argv)
{
    if (tarnby::IsBatchInvocation(argc, argv))
        return tarnby::RunBatch(argc, argv);
    return tarnby::RunGui(argc, argv);
}
