// The editor program.
#include "editor/core/startup.h"
#include "editor/screen/interactive.h"

int main(int argc, char** argv) {
    return voren::voren_main(argc, argv, voren::terminal_screen_layer());
}
