#pragma once

#include "app/TRadioGroup.h"
#include "app/TfrmNorlexa.h"
#include "platform/memory/scripted_message_boxes.h"

#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <memory>

namespace testing_support {

// The main window as a user sees it after its first show, for the service buttons' tests.
inline std::unique_ptr<TfrmNorlexa> OpenServiceWindow() {
    auto window = std::make_unique<TfrmNorlexa>();
    window->show();
    [&] {
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }();
    return window;
}

inline void ClickButton(TfrmNorlexa& window, const char* button) {
    QTest::mouseClick(window.findChild<QPushButton*>(QString::fromUtf8(button)), Qt::LeftButton);
}

// The position of the status item shown; -1 for none.
inline int ShownServiceItem(TfrmNorlexa& window) {
    return window.findChild<TRadioGroup*>(QStringLiteral("rgStatus"))->itemIndex();
}

inline QStringList BoxTexts(const platform::ScriptedMessageBoxes& boxes) {
    QStringList texts;
    for (const auto& box : boxes.shown()) {
        texts << QString::fromStdString(box.text);
    }
    return texts;
}

} // namespace testing_support
