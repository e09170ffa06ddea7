// Seam: the user's request to stop the batch in hand (the Stop button, Cancel
// in the progress window). The shell sets it and clears it when a batch
// starts; long work reads it and stops at the next safe point.
#pragma once

extern bool StopRequested;
