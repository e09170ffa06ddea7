/* How a launcher turns its stored command and its own arguments into the
   command line it starts. Plain C without the C runtime: the launcher links
   no runtime library, and the program's tests compile this file as it is.

   The command is joined in UTF-16, the system's own form of a command line,
   so that the dropped files' names reach the program unit for unit, an
   unpaired surrogate included: a trip through UTF-8 would turn one into
   U+FFFD and name another file. */
#ifndef RAVLEN_LAUNCH_COMMAND_H
#define RAVLEN_LAUNCH_COMMAND_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One UTF-16 unit, as the system's wide calls take it. */
typedef unsigned short LaunchUnit;

/* The text of the command area up to its first NUL, never past `capacity`
   bytes: an area whose NUL was overwritten must not be read beyond its end. */
size_t StoredCommandLength(const char* area, size_t capacity);

/* The stored command, `length` bytes of UTF-8 as the program writes its
   names (an unpaired surrogate as its own three bytes), in UTF-16 into `out`
   (`size` units with the NUL; `length` + 1 is always enough), its length in
   *units. Returns 0, with an empty text, for bytes that are not UTF-8 or a
   text that does not fit. */
int DecodeStoredCommand(const char* stored, size_t length, LaunchUnit* out, size_t size,
                        size_t* units);

/* Where the arguments start in a command line as the system gives it: after
   the program name (quoted or not) and the blanks that follow it. */
const LaunchUnit* LauncherArguments(const LaunchUnit* commandLine);

/* Units needed for the stored command, one blank, the arguments and the NUL;
   0 when the sum would not fit a size_t. */
size_t JoinedCommandSize(size_t storedUnits, const LaunchUnit* arguments);

/* Writes the stored command (storedUnits units of `stored`), one blank and
   the arguments into out. Returns 0 and writes only an empty text when it
   does not all fit into `size` units. */
int JoinCommand(const LaunchUnit* stored, size_t storedUnits, const LaunchUnit* arguments,
                LaunchUnit* out, size_t size);

#ifdef __cplusplus
}
#endif

#endif
