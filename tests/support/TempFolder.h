#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace veskard::test {

// A fresh folder that removes itself with everything in it.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("veskard-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        // Read-only files and folders must not stop the clean-up.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // The names in the folder, sorted: what a job left behind.
    std::vector<std::filesystem::path> names() const { return namesIn(path_); }
    static std::vector<std::filesystem::path> namesIn(const std::filesystem::path& folder) {
        std::vector<std::filesystem::path> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::vector<std::byte> patternBytes(std::size_t size, unsigned seed = 1) {
    std::vector<std::byte> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::byte& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::byte>(state >> 24);
    }
    return bytes;
}

inline std::filesystem::path writeFile(const std::filesystem::path& path,
                                       const std::vector<std::byte>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::byte> readFile(const std::filesystem::path& path) {
    const std::string chars = readText(path);
    const auto* first = reinterpret_cast<const std::byte*>(chars.data());
    return {first, first + chars.size()};
}

} // namespace veskard::test
