#pragma once

#include <string>

// Runs the whole game with the data directory named on the command line; returns the
// program's exit code.
int ZantorMain(const std::string& commandLine);
