// Seam: what the spooler asks of a file before it dares to print it, the
// claim that keeps it for this instance while it prints, and its deletion
// afterwards. spool_files_win32.cpp reads the file system's times and holds
// the file open; the native tests play a clock of their own, other instances,
// a file server's locks and a file that will not go
// (tests/doubles/spool_files_recorder.cpp).
#pragma once

// A file's size and last write, the write in milliseconds as the file system
// keeps it. On a file server that is the server's clock, which may run
// behind or ahead of this machine's: stamps are compared with each other,
// never with the local time.
struct FileStamp {
    long long size;
    long long writeTime;
};

// False when the file's status cannot be read (it has gone, for instance).
bool ReadFileStamp(const char* path, FileStamp* stamp);
// Milliseconds on this machine's own clock, which only runs forward: the time
// between two looks at a file.
long long LocalClockMs();

// Where a claim's lock bytes lie, one byte each, highest first: 2^62, beyond
// any file, for servers with large-file locking; 2^32 - 2 for servers that
// take 32-bit offsets only, and 2^31 - 2 for those that take them signed. A
// claim locks each offset the server accepts that lies beyond the file's end,
// so that instances which had to leave out the higher ones still meet the
// others at a lower one.
enum { kClaimLockOffsets = 3, kEveryClaimLock = (1 << kClaimLockOffsets) - 1 };
inline constexpr long long kClaimLockOffset[kClaimLockOffsets] = {4611686018427387904LL,
                                                                  4294967294LL, 2147483646LL};

// A file this instance has taken. While the claim is held, other instances
// skip the file and other programs cannot write to it; the program's own
// reads and copies are not hindered. Several spoolers, on one machine or on
// several sharing the directory, so never print the same file at once.
struct SpoolClaim {
    void* handle = nullptr;       // the platform's hold on the file; none when empty
    FileStamp stamp = {0, 0};     // the file as taken
    unsigned long volume = 0;     // which file it is: its volume
    unsigned long long index = 0; // and its number there
    unsigned locks = 0;           // the offsets locked, bit i for kClaimLockOffset[i]
};

enum ClaimOutcome {
    kClaimTaken,
    kClaimRefused,    // another instance has it, another program is writing it, it is
                      // read-only, or it has gone: skipped without a word
    kClaimLockRefused // the file server refused one of the locks for another reason
};

// Why the file server refused a lock: which offset, and its error.
struct LockRefusal {
    int offset = 0; // index into kClaimLockOffset
    unsigned long error = 0;
    char reason[256] = ""; // the system's text of the error
};

// Takes the file, locking one byte at each offset of `locks` (bits as in
// SpoolClaim::locks) that lies beyond the file's end; with none left, the
// share mode alone keeps writers out. A lock that another holder has makes
// it kClaimRefused; one refused for any other reason, kClaimLockRefused with
// `refusal` filled. Nothing is held unless the file is taken.
ClaimOutcome ClaimSpooledFile(const char* path, unsigned locks, SpoolClaim* claim,
                              LockRefusal* refusal);
// Lets the file go without deleting it; nothing for an empty claim.
void ReleaseSpoolClaim(SpoolClaim* claim);

enum ClaimedDeletion {
    kClaimDeleted,   // gone once the claim is released
    kClaimChanged,   // the name now holds other content: it stays, to print later
    kClaimNotDeleted // the deletion failed; errno says why
};
// Deletes the claimed file, but only while `path` still names the very file
// taken and its size and last write are as they were when it was taken.
ClaimedDeletion DeleteClaimedFile(const char* path, const SpoolClaim& claim);

enum ClaimedMove {
    kClaimMoved,        // the file is at `target`, whole, and gone from `path`
    kClaimTargetExists, // `target` names a file already: nothing moved
    kClaimMoveChanged,  // the name now holds other content: it stays, to print later
    kClaimNotMoved      // the file stays where it was; errno says why
};
// Moves the claimed file, unchanged, to `target` (another directory, on
// this volume or another), but only while `path` still names the very file
// taken with the size and last write it had then; an existing file is never
// replaced. The claim is still to be released afterwards.
ClaimedMove MoveClaimedFile(const char* path, const SpoolClaim& claim, const char* target);
