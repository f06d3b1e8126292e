#pragma once

#include "Options.h"

// Shows the dialog "Zantor Optionen" for the file until the player closes it: "OK" (also
// Enter) saves, "Abbrechen" (also Esc and the close box) saves nothing. Returns the
// program's exit code: 0, or 1 when there is no display to show it on.
int RunOptionsDialog(COptionsDialog& dialog, int& argc, char**& argv);
