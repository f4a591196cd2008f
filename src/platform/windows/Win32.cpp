#include "platform/windows/Win32.h"

namespace veskard::platform::win32 {
namespace {

constexpr std::size_t LongestShortName = MAX_PATH - 12;
constexpr std::wstring_view RawPrefix = L"\\\\?\\", DevicePrefix = L"\\\\.\\";
constexpr std::wstring_view RawNetworkPrefix = L"\\\\?\\UNC\\";

} // namespace

std::wstring apiPath(const std::filesystem::path& path) {
    const std::wstring& given = path.native();
    if (given.size() < LongestShortName || given.starts_with(RawPrefix) ||
        given.starts_with(DevicePrefix))
        return given;
    std::wstring full(::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return given; // the call it is for reports what is wrong with it
    full.resize(length);
    if (full.starts_with(L"\\\\")) // \\server\share\...
        return std::wstring(RawNetworkPrefix) + full.substr(2);
    return std::wstring(RawPrefix) + full;
}

} // namespace veskard::platform::win32
