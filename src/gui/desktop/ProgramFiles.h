#pragma once

#include <QString>

namespace veskard::gui {

// Where the program's own files lie. The files it writes (set.ini,
// Encrypt_Info.txt, paw.txt) go into its own folder, as a copy carried on a
// stick expects; an installed program, one whose folder it cannot write to,
// or one whose folder other users may write to, keeps them in the user's
// data folder for the program instead.
struct ProgramFiles {
    QString programFolder;  // the folder of the running executable
    QString writableFolder; // where the files the program writes go
    QString helpFile;       // readme.txt: beside the program, else in the install's data folder

    // The running program's. Needs the application object (for its name and folder).
    static ProgramFiles locate();
    // The same rule for a program in `programFolder` whose user's data folder
    // is `userDataFolder` (made when it is chosen).
    static ProgramFiles forProgramIn(const QString& programFolder, const QString& userDataFolder);

    // The path of a file the program writes.
    QString writable(const QString& name) const;
};

} // namespace veskard::gui
