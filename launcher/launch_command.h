/* How a launcher turns its stored command and its own arguments into the
   command line it starts. Plain C without the C runtime: the launcher links
   no runtime library, and the program's tests compile this file as it is. */
#ifndef RAVLEN_LAUNCH_COMMAND_H
#define RAVLEN_LAUNCH_COMMAND_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The text of the command area up to its first NUL, never past `capacity`
   bytes: an area whose NUL was overwritten must not be read beyond its end. */
size_t StoredCommandLength(const char* area, size_t capacity);

/* Where the arguments start in a command line as the system gives it: after
   the program name (quoted or not) and the blanks that follow it. */
const char* LauncherArguments(const char* commandLine);

/* Bytes needed for the stored command, one blank, the arguments and the NUL;
   0 when the sum would not fit a size_t. */
size_t JoinedCommandSize(size_t storedLength, const char* arguments);

/* Writes the stored command (storedLength bytes of `stored`), one blank and
   the arguments into out. Returns 0 and writes only an empty text when it
   does not all fit into `size` bytes. */
int JoinCommand(const char* stored, size_t storedLength, const char* arguments, char* out,
                size_t size);

#ifdef __cplusplus
}
#endif

#endif
