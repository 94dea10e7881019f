#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/FileManager.h"
#include "platform/PlistBounds.h"

namespace {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

std::optional<PlistValue> fromNode(plist_t node, int depth, int maxDepth) {
    if (!node || depth > maxDepth) {
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
        case PLIST_STRING: {
            // By pointer and length: libplist's copying getter aborts on a
            // string that holds a NUL byte, which a hostile file can contain.
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            return PlistValue(text ? std::string(text, length) : std::string());
        }
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return PlistValue(flag != 0);
        }
        case PLIST_UINT: {
            uint64_t number = 0;
            plist_get_uint_val(node, &number);
            return PlistValue(static_cast<std::int64_t>(number));
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            return PlistValue(number);
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            PlistValue::Data data;
            if (bytes) {
                data.bytes.assign(bytes, bytes + length);
            }
            std::free(bytes);
            return PlistValue(std::move(data));
        }
        case PLIST_DATE: {
            int32_t seconds = 0;
            int32_t micros = 0;
            plist_get_date_val(node, &seconds, &micros);
            return PlistValue(PlistValue::Date{seconds + micros / 1e6});
        }
        case PLIST_UID: {
            uint64_t uid = 0;
            plist_get_uid_val(node, &uid);
            return PlistValue(static_cast<std::int64_t>(uid));
        }
        case PLIST_ARRAY: {
            PlistValue::Array items;
            uint32_t count = plist_array_get_size(node);
            items.reserve(count);
            for (uint32_t i = 0; i < count; ++i) {
                auto item = fromNode(plist_array_get_item(node, i), depth + 1, maxDepth);
                if (!item) {
                    return std::nullopt;
                }
                items.push_back(std::move(*item));
            }
            return PlistValue(std::move(items));
        }
        case PLIST_DICT: {
            PlistValue::Dictionary entries;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char* key = nullptr;
                plist_t child = nullptr;
                plist_dict_next_item(node, iter, &key, &child);
                if (!child) {
                    std::free(key);
                    break;
                }
                auto item = fromNode(child, depth + 1, maxDepth);
                if (!item || !key) {
                    std::free(key);
                    std::free(iter);
                    return std::nullopt;
                }
                entries.emplace_back(key, std::move(*item));
                std::free(key);
            }
            std::free(iter);
            return PlistValue(std::move(entries));
        }
        default:
            return std::nullopt;
    }
}

plist_t toNode(const PlistValue& value) {
    switch (value.type()) {
        case PlistValue::Type::String:
            return plist_new_string(value.asString()->c_str());
        case PlistValue::Type::Boolean:
            return plist_new_bool(*value.asBoolean() ? 1 : 0);
        case PlistValue::Type::Integer:
            return plist_new_uint(static_cast<uint64_t>(*value.asInteger()));
        case PlistValue::Type::Real:
            return plist_new_real(*value.asReal());
        case PlistValue::Type::Data: {
            const auto& bytes = value.asData()->bytes;
            return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
        case PlistValue::Type::Date: {
            // libplist keeps whole seconds in 32 bits; dates beyond are clamped.
            double seconds = value.asDate()->seconds;
            constexpr double kLimit = std::numeric_limits<int32_t>::max();
            seconds = std::isfinite(seconds) ? std::clamp(seconds, -kLimit, kLimit) : 0.0;
            double whole = std::floor(seconds);
            return plist_new_date(static_cast<int32_t>(whole),
                                  static_cast<int32_t>(std::lround((seconds - whole) * 1e6)));
        }
        case PlistValue::Type::Array: {
            plist_t node = plist_new_array();
            for (const PlistValue& item : *value.asArray()) {
                plist_array_append_item(node, toNode(item));
            }
            return node;
        }
        case PlistValue::Type::Dictionary: {
            plist_t node = plist_new_dict();
            for (const auto& [key, item] : *value.asDictionary()) {
                plist_dict_set_item(node, key.c_str(), toNode(item));
            }
            return node;
        }
    }
    return plist_new_dict();
}

}  // namespace

std::optional<PlistValue> PropertyList::parse(const std::string& bytes, const Limits& limits) {
    // Bounded before the library sees the bytes: it builds (and frees) trees
    // recursively, expands shared objects, and aborts on a NUL in a key.
    if (!PlistBounds::within(bytes, limits) ||
        bytes.size() > std::numeric_limits<uint32_t>::max()) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    PlistHandle handle(root);
    if (!root) {
        return std::nullopt;
    }
    return fromNode(root, 0, limits.maxDepth);
}

std::string PropertyList::toXML(const PlistValue& value) {
    PlistHandle node(toNode(value));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(node.get()), &xml, &length);
    std::string text(xml ? xml : "", xml ? length : 0);
    plist_to_xml_free(xml);
    return text;
}

std::optional<PlistValue> PropertyList::read(const std::filesystem::path& path, bool followLinks,
                                             const Limits& limits, int folderFd) {
    FileManager::ReadOptions options;
    options.followLinks = followLinks;
    options.maxBytes = limits.maxBytes;
    options.folderFd = folderFd;
    auto bytes = FileManager::readFile(path, options);
    if (!bytes) {
        return std::nullopt;
    }
    return parse(*bytes, limits);
}

std::optional<PlistValue> PropertyList::readDictionary(const std::filesystem::path& path,
                                                       bool followLinks, const Limits& limits,
                                                       int folderFd) {
    auto value = read(path, followLinks, limits, folderFd);
    if (!value || !value->isDictionary()) {
        return std::nullopt;
    }
    return value;
}

bool PropertyList::write(const std::filesystem::path& path, const PlistValue& value) {
    std::string xml = toXML(value);
    return !xml.empty() && FileManager::writeFileAtomically(path, xml);
}
