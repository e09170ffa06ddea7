// The stop flag: raised by whatever the front end offers to stop a batch,
// cleared by the job runner when a batch starts, read by long work.
#include "stop_request.h"

bool StopRequested = false;
