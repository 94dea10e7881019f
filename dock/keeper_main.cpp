#include "dock/DockKeeper.h"

int main(int argc, char** argv) {
    return DockKeeper::main(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
