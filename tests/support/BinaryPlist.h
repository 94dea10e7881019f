#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes binary property lists object by object, so tests can make shapes no
// writer makes: objects shared by many containers, containers that hold
// themselves, nesting far beyond any real file.
class BinaryPlist {
public:
    explicit BinaryPlist(int refSize = 4) : refSize_(refSize) {}

    // Each returns the new object's index.
    std::uint64_t string(const std::string& ascii);
    std::uint64_t array(const std::vector<std::uint64_t>& items);
    std::uint64_t dictionary(const std::vector<std::uint64_t>& keys,
                             const std::vector<std::uint64_t>& values);
    // Sets the items of an array made earlier, which may then refer forward or to itself.
    void setArray(std::uint64_t index, const std::vector<std::uint64_t>& items);
    std::uint64_t reserve();

    std::string bytes(std::uint64_t top = 0) const;

private:
    std::string header(unsigned type, std::uint64_t count) const;
    std::string refs(const std::vector<std::uint64_t>& items) const;

    int refSize_;
    std::vector<std::string> objects_;
};
