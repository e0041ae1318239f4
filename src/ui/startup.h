#pragma once

namespace tarrow {

// Makes the embedded pictures and demo libraries available (the resources live in a static library).
void initUiResources();

// The program: command line, settings store, install root, window, event loop.
int runTarrowGui(int argc, char** argv);

} // namespace tarrow
