#include "tests/support/window_driver.h"

#include "app/TRadioGroup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace testing_support {

void WindowDriver::openWindow() {
    window = std::make_unique<TfrmNorlexa>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void WindowDriver::click(const char* button) {
    QTest::mouseClick(control<QAbstractButton>(button), Qt::LeftButton);
}

void WindowDriver::retype(const char* field, const QString& text) {
    auto* edit = control<QLineEdit>(field);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void WindowDriver::pick(const char* list, int position) {
    PickFromList(control<QComboBox>(list), position);
}

QStringList WindowDriver::configNames() {
    QStringList names;
    auto* list = control<QComboBox>("cmbConfigs");
    for (int i = 0; i < list->count(); ++i) {
        names << list->itemText(i);
    }
    return names;
}

int WindowDriver::shownServiceItem() {
    return control<TRadioGroup>("rgStatus")->itemIndex();
}

} // namespace testing_support
