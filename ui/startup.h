#pragma once

// Builds and shows the main window and runs the event loop. A missing or incomplete adapter
// library is shown in a message box and ends the program with status 1.
int runMainWindow();
