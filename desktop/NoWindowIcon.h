#pragma once

#include <QIcon>
#include <QPixmap>

namespace veskard::desktop {

// For windows designed without an icon: an empty QIcon would fall back to the
// program's, so they get a fully transparent one instead.
inline QIcon noWindowIcon() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

} // namespace veskard::desktop
