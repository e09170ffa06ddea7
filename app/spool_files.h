// Seam: what the spooler asks of a file before it dares to print it, and its
// deletion afterwards. spool_files_win32.cpp reads the file system's times;
// the native tests play a clock of their own and a file that will not go
// (tests/doubles/spool_files_recorder.cpp).
#pragma once

// A file's size and last write, in milliseconds on the clock of
// CurrentFileTime.
struct FileStamp {
    long long size;
    long long writeTime;
};

// False when the file's status cannot be read (it has gone, for instance).
bool ReadFileStamp(const char* path, FileStamp* stamp);
long long CurrentFileTime();
// Deletes a printed file; false with errno set when it stays.
bool DeleteSpooledFile(const char* path);
