#include "gui/generator/PasswordList.h"

#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>

#include <gtest/gtest.h>

namespace veskard::test {
namespace {

using gui::PasswordList;

// The list draws only the visible part of each long entry; what it shows
// must be what drawing the whole entry would show, wherever it is scrolled.
TEST(PasswordList, ShowsLongEntriesAsTheWholeTextWouldLookAtAnyScrollPosition) {
    PasswordList list(nullptr);
    list.resize(185, 124);
    for (int row = 0; row < 10; ++row) {
        QString entry;
        for (int i = 0; i < 300; ++i)
            entry += QChar(u'!' + (row * 7 + i * 13) % 94);
        list.addItem(entry);
    }
    list.item(1)->setSelected(true);
    list.setHorizontalExtent(list.fontMetrics().horizontalAdvance(list.item(0)->text()) + 20);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    QAbstractItemDelegate* visiblePart = list.itemDelegate();
    QStyledItemDelegate wholeText;
    const int last = list.horizontalScrollBar()->maximum();
    ASSERT_GT(last, 1000);
    for (const int scrolled : {0, 7, 50, 333, 1001, last}) {
        list.horizontalScrollBar()->setValue(scrolled);
        list.setItemDelegate(visiblePart);
        const QImage shown = list.viewport()->grab().toImage();
        list.setItemDelegate(&wholeText);
        const QImage expected = list.viewport()->grab().toImage();
        EXPECT_EQ(shown, expected) << "scrolled " << scrolled << " pixels";
    }
    list.setItemDelegate(visiblePart);
}

} // namespace
} // namespace veskard::test
