#pragma once

class QCoreApplication;

namespace veskard::gui {

// Loads Qt's own Simplified-Chinese translations, so that standard buttons and
// dialogs read 确定, 取消, 是, 否 whatever the locale the program starts in.
// False when they are not installed; the program then still works.
bool installChineseTranslations(QCoreApplication& application);

} // namespace veskard::gui
