// The File Information command of the main window: ask for a file, count and
// describe it, and print it when the user asks.
#pragma once

#include "shell_state.h"

// Asks for a file, describes it in a dialog and prints it when the user asks.
void ShowFileInformation(WindowRef owner);
