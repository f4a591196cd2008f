#pragma once

#include "platform/FileAttributes.h"

#include <cstdint>
#include <filesystem>

// The classic file attributes as the system itself keeps them, read and
// written without the platform layer: what other programs on it see.
//
// Where the systems differ by design (written down here only):
// - POSIX: read-only is the absence of every write permission bit; hidden,
//   system and archive are the user.DOSATTRIB text that Samba and Wine use
//   ("0x22"). Windows: all four are bits of the file's attribute word.
// - A freshly written file has no attributes on POSIX; Windows marks it
//   Archive, to be picked up by the next backup.
// - Under Wine, which runs the Windows tests here, every file is Archive:
//   Wine keeps only hidden and system, so Archive can be neither cleared nor
//   stored there.
namespace veskard::test::native {

// The attribute word other programs read, bits of other meanings included.
std::uint32_t attributeWord(const std::filesystem::path& file);

// Stores an attribute word the way other programs do.
void storeAttributeWord(const std::filesystem::path& file, std::uint32_t word);

// What this system keeps of the given attributes.
platform::FileAttributes asStored(platform::FileAttributes attributes);

} // namespace veskard::test::native
