#include "app/VelvantoApplication.h"

int main(int argc, char** argv) {
    return VelvantoApplication::main(argc, argv);
}
