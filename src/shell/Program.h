#pragma once

#include "CommandLine.h"

// Runs the whole game as the command line asks; returns the program's exit code.
int ZantorMain(const SCommandLine& commandLine);
