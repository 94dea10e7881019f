#pragma once

#include <string>

// Renames that never cost an entry: one that refuses to take a name in use,
// and one that trades two names in one step. Both work on entries named in
// opened folders and never follow a link (a link is renamed as the link).
// Stateless; any thread may call.
class Renaming {
public:
    // Gives from (in fromFolder) the name to (in toFolder), failing with
    // EEXIST when anything has that name. In one step where the file system
    // can; elsewhere it looks first and then renames: a file is linked under
    // the new name (which fails when the name is taken), a folder is renamed,
    // which can at worst take the place of an empty folder made in between.
    static bool withoutReplacing(int fromFolder, const std::string& from, int toFolder,
                                 const std::string& to);
    // Trades the names of one and other in one step. False with errno
    // EOPNOTSUPP where the file system can't; the caller then renames in two steps.
    static bool exchange(int fromFolder, const std::string& one, int toFolder,
                         const std::string& other);
};
