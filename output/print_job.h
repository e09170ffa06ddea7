// One print job on the channel in use: the device escape while
// Output.driverHeaderMode is set, else the output file when one is open,
// else the spooler.
#pragma once

// Starts the job named after `documentPath` ("Ravlen - name.ext"). A print to
// file asks for the file's name first. False (driverHeaderMode cleared) when
// the job cannot be started.
bool BeginJob(const char* documentPath);
// Ends the job; with abort the spooler discards what it received. False when
// the spooler or the driver could not end it: the job did not print.
bool EndJob(bool abort);
