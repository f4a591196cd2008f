#pragma once

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace veskard::gui {

class FlatButton;

// The main window's controls that its actions read and write, each with its
// design name as objectName. The window owns them all.
struct MainWindowControls {
    QLineEdit* sourcePathEdit = nullptr;      // "Label3": path of the file to encrypt
    QLineEdit* passwordEdit = nullptr;        // "Text2": password, shown as "*"
    QLineEdit* confirmPasswordEdit = nullptr; // "Text3": password again
    QCheckBox* keepOriginalCheck = nullptr;   // "Check1": write the locked file elsewhere
    QCheckBox* encryptScriptCheck = nullptr;  // "Check2": write the encrypt script
    QCheckBox* decryptScriptCheck = nullptr;  // "Check3": write the decrypt script
    QPlainTextEdit* logView = nullptr;        // "info": the operation log, read-only
    QLabel* lockedPathLabel = nullptr;        // "Label7": the locked file chosen for unlocking
    QLineEdit* restoredPathEdit = nullptr;    // "Text5": the last restored file, read-only
    QPushButton* hiddenExitButton = nullptr;  // "Command1": "&Cexit", covered by button 2
    // The flat buttons ("Frame1") by index; 5 and 6 exist once createIconButtons has run.
    std::array<FlatButton*, 8> flatButtons{};
};

} // namespace veskard::gui
