// voren: the editor's entry point.
#include "editor/core/startup.h"

int main(int argc, char** argv) {
    return voren::voren_main(argc, argv);
}
