// The output channels through which every byte of a non-text job passes. The
// channel in use: the driver's pass-through escape while driverHeaderMode is
// set, else the output file when one is open, else the spooler's raw job.
#pragma once

#include <cstddef>
#include <cstdio>

struct OutputState {
    FILE* outputStream;    // the file channel, or none
    bool driverHeaderMode; // a PostScript job behind the driver's own header
    // The device of the pass-through job: vertical pixels (VERTRES) and pixels
    // per inch across and down (LOGPIXELSX, LOGPIXELSY); set with the job.
    int deviceVerticalPixels;
    int devicePixelsPerInchX;
    int devicePixelsPerInchY;
    // The printer or the driver refused data since the job began.
    bool writeFailed;
    // What the channels took since the job began.
    long long bytesWritten;
};

extern OutputState Output;

bool FileChannelOpen();
// Opens `path` for binary writing, replacing it; the file channel until closed.
bool OpenOutputFile(const char* path);
// False when the file could not be completed (errno tells why); data still
// buffered may fail to go out only now.
bool CloseOutputFile();

// Success when all n bytes went out (n at most one transfer chunk).
bool WriteBytes(const void* bytes, size_t n);
// An empty text writes nothing and succeeds.
bool WriteText(const char* text);
// Sends `length` bytes from `offset` in chunks through the transfer buffer,
// giving a stop request its chance before every chunk; with a progressTotal,
// reports the position reached as a fraction of it. An early end of the file
// is no failure; a read error, a failed write or a stop is.
bool SendFileRange(FILE* stream, long long offset, long long length, long long progressTotal);
