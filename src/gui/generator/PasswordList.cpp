#include "gui/generator/PasswordList.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace veskard::gui {
namespace {

// Draws only the part of an entry that the list can show. An entry may hold
// a thousand characters, and laying all of them out for every visible row at
// every repaint would slow a growing list to a crawl. The list's font has
// one width for every character, so where each falls is known beforehand.
class VisiblePartDelegate final : public QStyledItemDelegate {
public:
    explicit VisiblePartDelegate(QAbstractItemView* list)
        : QStyledItemDelegate(list)
        , list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shown = option;
        initStyleOption(&shown, index);
        const QFontMetricsF metrics(shown.font);
        const double advance = metrics.horizontalAdvance(QLatin1Char('0'));
        const int run = wholePixelRun(advance);
        if (run == 0 || metrics.horizontalAdvance(QLatin1Char('i')) != advance ||
            metrics.horizontalAdvance(QLatin1Char('W')) != advance) {
            QStyledItemDelegate::paint(painter, option, index); // not fixed-width after all
            return;
        }
        // Skip whole runs of characters scrolled out on the left (keeping one
        // character for the margin before the text), so that the rest starts
        // on the very pixel it would have had.
        const double hidden = std::max(0, -shown.rect.left());
        const auto outOfSight = std::max(0.0, std::floor(hidden / advance) - 1);
        const auto skipped = static_cast<qsizetype>(outOfSight) / run * run;
        const auto kept = static_cast<qsizetype>(list_->viewport()->width() / advance) + run + 3;
        shown.text = shown.text.mid(skipped, kept);
        shown.rect.setLeft(shown.rect.left() + static_cast<int>(std::lround(skipped * advance)));
        list_->style()->drawControl(QStyle::CE_ItemViewItem, &shown, painter, list_);
    }

private:
    // The fewest characters that together are a whole number of pixels wide;
    // Qt measures in 64ths of a pixel, so there are at most 64. 0 if none.
    static int wholePixelRun(double advance) {
        for (int run = 1; run <= 64; ++run) {
            if (const double width = run * advance; width == std::floor(width))
                return run;
        }
        return 0;
    }

    QAbstractItemView* list_;
};

} // namespace

PasswordList::PasswordList(QWidget* parent)
    : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Passwords in a fixed-width font: 1 and l, 0 and O are told apart, and
    // every entry of a list is as wide as the others, so the list lays out
    // one entry for all of them.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setUniformItemSizes(true);
    setItemDelegate(new VisiblePartDelegate(this));
    connect(this, &QListWidget::itemClicked, this, &PasswordList::entryClicked);
}

void PasswordList::setHorizontalExtent(int pixels) {
    horizontalExtent_ = pixels;
    updateGeometries();
}

void PasswordList::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit entryClicked();
}

void PasswordList::updateGeometries() {
    QListWidget::updateGeometries();
    const int visible = viewport()->width();
    horizontalScrollBar()->setRange(0, std::max(0, horizontalExtent_ - visible));
    horizontalScrollBar()->setPageStep(visible);
}

} // namespace veskard::gui
