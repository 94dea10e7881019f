#pragma once

#include <functional>

// The system beep. The editor installs a hook that sounds it (QApplication::beep);
// tests install one that counts. Without a hook it writes the terminal bell to
// standard error. Any thread may call.
class Beep {
public:
    static void beep();
    // Returns the hook installed before; an empty hook restores the bell.
    static std::function<void()> setHook(std::function<void()> hook);
};
