#include "dock/DockProgram.h"

int main(int argc, char** argv) {
    return DockProgram::main(argc, argv);
}
