#pragma once

#include <QListWidget>

namespace veskard::gui {

// The generator's result list: extended selection, a click that a keyboard
// move of the current entry raises too, and a sideways scroll range that the
// window sets (the width of its first entry and a margin) rather than one the
// list works out from every entry.
class PasswordList final : public QListWidget {
    Q_OBJECT

public:
    explicit PasswordList(QWidget* parent);

    // How wide the list's content counts as, in pixels.
    void setHorizontalExtent(int pixels);
    int horizontalExtent() const { return horizontalExtent_; }

signals:
    // An entry was clicked, or the keyboard moved the current entry.
    void entryClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

private:
    int horizontalExtent_ = 0;
};

} // namespace veskard::gui
