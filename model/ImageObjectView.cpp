#include "model/ImageObjectView.h"

#include <cctype>

#include "model/MiscKit.h"

namespace {

std::string lastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    std::size_t slash = trimmed.rfind('/');
    return slash == std::string::npos || trimmed == "/" ? trimmed : trimmed.substr(slash + 1);
}

std::string withoutLastComponent(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    return slash == 0 ? "/" : trimmed.substr(0, slash);
}

std::string withoutExtension(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string ImageObjectView::title() const {
    return lastComponent(path_);
}

std::string ImageObjectView::imageRepresentationType() {
    return "IKImageBrowserPathRepresentationType";
}

std::string ImageObjectView::imageTitle() const {
    if (MiscKit::sharedFiles().getNaturalNameForKey(keyPath)) {
        return "";
    }
    return withoutExtension(lastComponent(withoutLastComponent(keyPath)));
}

std::string ImageObjectView::imageSubtitle() const {
    return lastComponent(path_);
}

int ImageObjectView::sortObjectByKey(const ImageObjectView& other) const {
    const std::string& a = keyPath;
    const std::string& b = other.keyPath;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
