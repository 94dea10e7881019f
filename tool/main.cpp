#include "model/MiscKit.h"
#include "tool/ApplyTool.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return ApplyTool(MiscKit::sharedFiles()).run(arguments);
}
