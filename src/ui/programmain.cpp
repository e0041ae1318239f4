// tarrow-gui: the desktop program.
#include "startup.h"

int main(int argc, char** argv) {
    return tarrow::runTarrowGui(argc, argv);
}
