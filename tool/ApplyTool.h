#pragma once

#include <string>
#include <vector>

class MiscKit;

// Installs a theme bundle's images into the Dock resources folder, then ends
// the Dock so that it starts again with them. Runs with administrator rights
// on bundles anyone may have made, so it reads only regular files inside the
// bundle's images folder (never through a link), writes only single files
// directly in the resources folder, and checks every image before it changes
// anything. Each Dock image is replaced by a copy made beside it and renamed
// over it, so the Dock never finds a half-written or missing image.
//
// Exit status: 1 when the run went through to the Dock's restart, -1 when
// there is no bundle, its image table is defective, or one of its images is
// missing or unusable (then nothing was changed).
class ApplyTool {
public:
    explicit ApplyTool(const MiscKit& catalogue);

    // arguments are the command line without the program name.
    int run(const std::vector<std::string>& arguments) const;

private:
    const MiscKit& catalogue_;
};
