// The progress window of a batch.
#pragma once

void ProgressBegin(int count);
void ProgressNextFile(const char* fileName);
void ProgressPercent(double fraction);
void ProgressEnd();
