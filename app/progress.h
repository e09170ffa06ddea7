// The progress window of a batch: which file of how many is printing, how far
// its output has got, and a Cancel button that stops the batch. The job runner
// opens and moves it (common/progress_report.h); the output paths report how
// far they are.
#pragma once

#include "../common/progress_report.h"
