#include "platform/memory/recording_window_messages.h"
#include "tests/support/toolkit_fixture.h"
#include "toolkit/desktop/TfrmVemloTools.h"
#include "toolkit/desktop/progress_signalling.h"
#include "toolkit/desktop/toolkit_lifetime.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

class ToolkitLifetimeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theToolsWindowLivesHiddenFromStartToEnd() {
        testing_support::ToolkitTwins twins;
        QVERIFY(!vemlo::frmVemloTools);
        vemlo::InitializeToolkit();
        QPointer<TfrmVemloTools> tools = vemlo::frmVemloTools;
        QVERIFY(tools);
        QCOMPARE(tools->objectName(), QStringLiteral("frmVemloTools"));
        QCOMPARE(tools->windowTitle(), QStringLiteral("VL Tools"));
        QCOMPARE(tools->size(), QSize(263, 180));
        QVERIFY(tools->isWindow());
        QVERIFY(!tools->parent());
        QVERIFY(tools->internalWinId() != 0);
        QVERIFY(!tools->isVisible());
        QCOMPARE(twins.messages.registered().size(), size_t{6});
        QVERIFY(vemlo::VemloMessageId(vemlo::VemloMessage::InactivateProgressApp) != 0);

        vemlo::FinalizeToolkit();
        QVERIFY(!tools);
        QVERIFY(!vemlo::frmVemloTools);
        QCOMPARE(vemlo::VemloMessageId(vemlo::VemloMessage::InactivateProgressApp), 0);
    }
};

QTEST_MAIN(ToolkitLifetimeTest)

#include "toolkit_lifetime_test.moc"
