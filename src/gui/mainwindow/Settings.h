#pragma once

#include "texts/Texts.h"

#include <QString>

#include <cstdint>

namespace veskard::gui {

// The value of an option check box, as "set.ini" stores it. (Not Qt's
// Qt::CheckState, which numbers the states differently.)
enum class CheckValue : std::int16_t { Unticked = 0, Ticked = 1, Greyed = 2 };

// The main window's four options, with the design's values.
struct Options {
    CheckValue keepOriginal = CheckValue::Unticked; // 保存原文件副本: lock into another file
    CheckValue writeEncryptScript = CheckValue::Ticked; // 生成自加密批处理文件
    CheckValue writeDecryptScript = CheckValue::Ticked; // 生成自解密批处理文件
    CheckValue strongLock = CheckValue::Unticked;       // 强加密
    bool operator==(const Options&) const = default;
};

// The options' file among the files the program writes (ProgramFiles).
inline constexpr auto SettingsFileName = texts::files::settings;

// "set.ini" is an 8-byte record, not a text file: the four values as 16-bit
// little-endian integers, in the order of the boxes. Programs from before the
// strong lock read and write the first six bytes only; to them the last value
// is none of theirs, and a file they made reads as no strong lock.
//
// Loads the options saved in `file` into `options`. A missing file is made,
// empty; bytes the file lacks count as 0, and an empty file changes nothing.
// Loading stops silently at a value that is not a check box's (outside 0..2):
// the boxes before it take their saved values, the others keep theirs. Like
// the program's other files, `file` must be the user's own regular file (see
// platform::File::openProgramFile); anything else leaves every box as it is.
void loadSettings(const QString& file, Options& options);

// Writes the four values over the start of `file` (made if missing); bytes
// after the eighth stay. False when the file could not be written: the values
// are then lost, and the window still closes.
bool saveSettings(const QString& file, const Options& options);

} // namespace veskard::gui
