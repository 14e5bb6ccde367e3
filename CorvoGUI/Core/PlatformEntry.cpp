// This platform's program entry: the command line goes to qMain as it is.

#include "CorvoGUI/Core/ProgramEntry.h"

int main(int argc, char** argv)
{
    return qMain(argc, argv);
}
