#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Process.h"

// For root the real killall ends every Dock, so root runs in its own PID namespace or skips.
int main(int argc, char** argv) {
    constexpr const char* kInside = "VELVANTO_OWN_PID_NAMESPACE";
    if (::geteuid() == 0 && !std::getenv(kInside)) {
        const std::vector<std::string> unshare = {"/usr/bin/unshare", "--pid", "--fork",
                                                  "--mount-proc"};
        std::vector<std::string> probe = unshare;
        probe.push_back("/bin/true");
        auto tried = Process::run(probe);
        if (tried && tried->exitStatus == 0) {
            ::setenv(kInside, "1", 1);
            std::vector<std::string> again = unshare;
            again.insert(again.end(), argv, argv + argc);
            std::vector<char*> args;
            for (std::string& arg : again) {
                args.push_back(arg.data());
            }
            args.push_back(nullptr);
            ::execv(args[0], args.data());
        }
        ::setenv("VELVANTO_END_TO_END_SKIP",
                 "as root the real killall would end every Dock of the machine, and no PID "
                 "namespace of their own can be made here",
                 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
