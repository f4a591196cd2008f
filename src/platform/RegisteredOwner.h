#pragma once

#include <string>

namespace veskard::platform {

// Whom the copy of the system is registered to, in UTF-8; a part the system
// does not know is empty.
struct RegisteredOwner {
    std::string name;
    std::string company;
};

// Windows: the registered user and company of the setup records
// (HKEY_CURRENT_USER\Software\Microsoft\MS Setup (ACME)\User Info), else those
// of the system itself (HKEY_LOCAL_MACHINE\...\Windows NT\CurrentVersion).
// POSIX: the account's full name (the first comma-separated field of its
// passwd comment); POSIX keeps no company.
RegisteredOwner registeredOwner();

} // namespace veskard::platform
