#pragma once

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace veskard {

class FlatButton;

// The main window's controls that its actions read and write, by their
// design names. The window owns them all.
struct MainWindowControls {
    QLineEdit* Label3 = nullptr;     // path of the file to encrypt (a text box)
    QLineEdit* Text2 = nullptr;      // password, shown as "*"
    QLineEdit* Text3 = nullptr;      // password again
    QCheckBox* Check1 = nullptr;     // write the locked file elsewhere
    QCheckBox* Check2 = nullptr;     // write the encrypt script
    QCheckBox* Check3 = nullptr;     // write the decrypt script
    QPlainTextEdit* info = nullptr;  // the operation log, read-only
    QLabel* Label7 = nullptr;        // path of the locked file chosen for unlocking
    QLineEdit* Text5 = nullptr;      // path of the last restored file, read-only
    QPushButton* Command1 = nullptr; // "&Cexit", covered by button 2
    // The flat buttons by index; 5 and 6 exist once createIconButtons has run.
    std::array<FlatButton*, 8> Frame1{};
};

} // namespace veskard
