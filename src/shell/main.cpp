#include "Program.h"
#include "platform/ReplaceFile.h"

#include <string>

// The command line is the program's arguments joined with single blanks: "zantor Standard"
// plays with the data directory "Standard".
int main(int argc, char** argv) {
    platform::IgnoreFileSizeSignal();
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    return ZantorMain(commandLine);
}
