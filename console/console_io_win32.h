// The Windows side of the console's streams: the Ctrl+C handler is set up
// before the run and told when it has ended (console_io_win32.cpp).
#pragma once

void StartConsoleIo();
void FinishConsoleIo();
