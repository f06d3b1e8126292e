#pragma once

#include "platform/Window.h"

#include <string>

// The main window.
extern platform::IWindow* g_hWnd;

// Runs the whole game with the data directory named on the command line; returns the
// program's exit code.
int ZantorMain(const std::string& commandLine);
