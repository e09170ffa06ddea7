// Scripted answer of the help viewer double.
#pragma once

extern bool BrowserStarts; // OpenUrlInBrowser succeeds; reset to true by ResetHelpViewer
void ResetHelpViewer();
