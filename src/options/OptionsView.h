#pragma once

#include "Options.h"

// Shows the dialog "Zantor Optionen" for the file until the player closes it: "OK" saves,
// "Abbrechen" (also Esc and the close box) saves nothing; Enter acts on the focused button,
// and on a check box it is "OK". When saving fails a message names the file and the reason,
// and the dialog stays open. Returns the program's exit code: 0, or 1 when there is no
// display to show it on.
int RunOptionsDialog(COptionsDialog& dialog, int& argc, char**& argv);
