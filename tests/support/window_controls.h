#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>
#include <QWidget>
#include <cstddef>

namespace testing_support {

// The window's control of that object name; the test stops when there is none.
template <typename T = QWidget> T* FindControl(QWidget* window, const char* name) {
    auto* found = window->findChild<T*>(QString::fromUtf8(name));
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

// Picks an entry of a drop-down list as a user does: opens it and clicks the entry.
inline void PickFromList(QComboBox* list, int position) {
    list->showPopup();
    QAbstractItemView* view = list->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QRect entry = view->visualRect(list->model()->index(position, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    QCOMPARE(list->currentIndex(), position);
}

// One data row per table row, each carrying its index in the column "row".
template <typename Row, std::size_t N> void AddTableRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i) {
        QTest::addRow("%s", rows[i].label) << static_cast<int>(i);
    }
}

} // namespace testing_support
