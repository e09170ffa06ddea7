// Spooler mode: files matching a pattern are printed on a five-second timer.
#pragma once

enum { kSpoolerTimerId = 1, kSpoolerIntervalMs = 5000 };

void SetSpoolerTimer(bool on);
void SpoolerTick();
