// The launcher image that the program carries, and the command written into
// it for a launcher shortcut.
#pragma once

#include <cstddef>

// The command area holds this many bytes before its closing NUL.
enum { kCommandAreaChars = 1050 };

// The offset of the command area in a launcher image: the one place where the
// marker text "Static data begins here:" begins with the whole area and its
// NUL inside the image. False when the marker is missing, occurs more than
// once, or the area would run past the image's end: writing at a guessed place
// would break the launcher's code.
bool FindCommandArea(const unsigned char* image, size_t size, size_t* offset);

// The command a launcher starts: the program's path (quoted when it holds a
// blank, since the launcher starts the text as one command line), then
// /i:"file" unless the settings file is the default one, then /n:"set", each
// value quoted by the C runtime's rules so that it comes back whole. All
// three are UTF-8, and so is the command: the launcher reads its command area
// in UTF-8. False when it does not fit `size` bytes (it is refused, not cut).
bool BuildLauncherCommand(const char* programPath, const char* settingsFile, const char* setName,
                          char* out, size_t size);

// True when `name` can name a shortcut: not empty and none of / \ : ? * " < > |.
bool HasShortcutNameCharsOnly(const char* name);
// True when `name` is a device's (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
// LPT9), with or without an extension: a launcher or link of that name would
// be written to the device.
bool IsDeviceName(const char* name);

// Writes `image` to `path` (replacing a file there) with `command` and its NUL
// at the start of the command area. Every write and the close are checked; a
// file that could not be written whole is deleted, so no launcher that would
// start half a command stays behind. False when the image has no command area,
// the command does not fit it, or the file cannot be written.
bool WriteLauncherImage(const char* path, const unsigned char* image, size_t size,
                        const char* command);
