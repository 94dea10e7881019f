#pragma once

#include <string>

#include "platform/Descriptor.h"

// Hidden folders that work is made in before it takes its final name
// ("<folder>/<prefix>XXXXXX"). The maker holds its folder locked (flock)
// for as long as its descriptor is open, so that the sweep of a later run
// removes only the folders of runs that ended without naming them (a killed
// run's), never one that another process is making now.
//
// Stateless; any thread may call.
class WorkFolder {
public:
    // How many folders make() tries when sweeps keep taking them.
    static constexpr int kAttempts = 8;

    // Makes a new hidden folder in folder (mode 0700, as mkdtemp makes it),
    // its name to name, and returns it opened (not through a link) and
    // locked; an invalid descriptor, errno telling why, when it can't. One
    // that another run's sweep removed before it was locked is made again.
    static Descriptor make(const std::string& folder, const std::string& prefix, std::string& name);
    // Removes the entries of folder named with prefix that no process holds
    // locked, links inside removed as links (FolderTree::remove), and logs each.
    static void removeLeftovers(const std::string& folder, const std::string& prefix);
};
