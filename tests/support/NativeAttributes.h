#pragma once

#include "platform/FileAttributes.h"

#include <cstdint>
#include <filesystem>

// The classic file attributes as the system itself keeps them, read and
// written without the platform layer: what other programs on it see. POSIX:
// read-only is the absence of every write permission bit; hidden, system and
// archive are the user.DOSATTRIB text that Samba and Wine use ("0x22").
// Windows: all four are bits of the file's attribute word. Under Wine, which
// runs the Windows tests here, Archive can be neither cleared nor stored.
namespace veskard::test::native {

// The attribute word other programs read, bits of other meanings included.
std::uint32_t attributeWord(const std::filesystem::path& file);

// Stores an attribute word the way other programs do.
void storeAttributeWord(const std::filesystem::path& file, std::uint32_t word);

// What this system keeps of the given attributes.
platform::FileAttributes asStored(platform::FileAttributes attributes);

} // namespace veskard::test::native
