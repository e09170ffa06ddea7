// The request to stop the batch in hand: the Stop button or Cancel in the
// progress window of the windows program, Ctrl+C in the console, a stop of
// the service. The front end raises it, the job runner clears it when a
// batch starts, and long work reads it and stops at the next safe point.
#pragma once

extern bool StopRequested;
