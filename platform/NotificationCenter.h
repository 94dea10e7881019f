#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A name-keyed observer registry. Observers are called synchronously, on the
// posting thread, in the order they were added. Any thread may add, remove or
// post; an observer may remove observers (itself included) while being called.
class NotificationCenter {
public:
    using Observer = std::function<void(const std::string& name, const void* object)>;
    using Token = std::uint64_t;

    // The process's default centre; it lives until the process ends.
    static NotificationCenter& defaultCenter();

    // Calls observer for every notification posted under name.
    Token addObserver(const std::string& name, Observer observer);
    void removeObserver(Token token);
    void post(const std::string& name, const void* object);

private:
    struct Entry {
        Token token;
        std::string name;
        std::shared_ptr<Observer> observer;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;
    Token nextToken_ = 1;
};
