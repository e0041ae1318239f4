#pragma once

namespace tarrow {

// Makes the embedded pictures and demo libraries available (the resources live in a static library).
void initUiResources();

// Lets a screen reader into the report panes: the embedded browser keeps its pages' accessibility to
// itself on Linux unless asked before it starts. An operator's own setting of the variable stands.
void enableReportAccessibility();
// Once the window (and with it the embedded browser) exists: puts the two variables back as they
// were, so that the server and the desktop's programs started from here do not inherit them.
void restoreStartedProgramsEnvironment();

// The program: command line, settings store, install root, window, event loop.
int runTarrowGui(int argc, char** argv);

} // namespace tarrow
