#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_controls.h"
#include "toolkit/dataproviders/TfrmDataProviders.h"
#include "toolkit/settings/environment.h"
#include "toolkit/settings/shared_settings.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using platform::Hive;

namespace {

const std::string kLinks = "/common/System/Ole DB/Data Links/";
const std::string kSettingKey = "SOFTWARE\\Vemlo\\_srv_lumra\\DataProvider";
const QColor kGreen(0, 128, 0);
const QColor kSilver(192, 192, 192);

} // namespace

class DataProvidersDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::ToolkitTwins> twins;
    std::unique_ptr<vemlo::TfrmDataProviders> dialog;

    template <typename T = QWidget> T* control(const char* name) {
        return testing_support::FindControl<T>(dialog.get(), name);
    }

    QListWidget* list() { return control<QListWidget>("ListBox1"); }

    void addLinks(std::initializer_list<const char*> names) {
        for (const auto* name : names) {
            twins->files.addFile(kLinks + name, std::string("innehåll i ") + name);
        }
    }

    void storeDefault(const std::string& name) {
        vemlo::WriteSharedSetting("DataProvider", "DefaultDataProvider", name);
    }

    void openDialog() {
        dialog = std::make_unique<vemlo::TfrmDataProviders>();
        dialog->IniTextPosision = "DefaultDataProvider";
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    QStringList entries() {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i) {
            names << list()->item(i)->text();
        }
        return names;
    }

    QString selected() { return QString::fromStdString(dialog->SelectedEntry()); }

    void select(const QString& entry) {
        const auto found = list()->findItems(entry, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(found[0]).center());
        QCOMPARE(list()->currentItem()->text(), entry);
        QVERIFY(list()->currentItem()->isSelected());
    }

    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }

    // The user comes back from another program, the data link editor say.
    void comeBack() {
        Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(dialog.get(), &activate);
    }

    // What the user sees of one entry: whether any of its text is green, and its background.
    struct Look {
        bool green = false;
        QColor background;
    };
    Look lookOf(const QString& entry) {
        const auto image = list()->viewport()->grab().toImage();
        const auto rect = list()->visualItemRect(list()->findItems(entry, Qt::MatchExactly)[0]);
        Look look;
        look.background = image.pixelColor(rect.right() - 1, rect.bottom() - 1);
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                look.green = look.green || image.pixelColor(x, y) == kGreen;
            }
        }
        return look;
    }

    // Runs SelectDataProvider and, once its dialog is up, acts on it.
    QString runSelect(const std::function<void(vemlo::TfrmDataProviders&)>& act) {
        QTimer::singleShot(0, this, [&] {
            auto* modal =
                qobject_cast<vemlo::TfrmDataProviders*>(QApplication::activeModalWidget());
            QVERIFY(modal);
            act(*modal);
        });
        return QString::fromStdString(vemlo::SelectDataProvider("DefaultDataProvider"));
    }

private Q_SLOTS:
    void init() {
        twins = std::make_unique<testing_support::ToolkitTwins>();
        vemlo::g_ProgramKey = "_srv_lumra\\";
        vemlo::g_DataLinksPath = kLinks;
        vemlo::g_DefaultDataProvider = kLinks + "ERROR";
    }

    void cleanup() {
        dialog.reset();
        twins.reset();
    }

    void theFormLooksAsDesigned() {
        openDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("DataProviders"));
        QCOMPARE(dialog->size(), QSize(209, 250));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QCOMPARE(control<QGroupBox>("GroupBox1")->title(), QStringLiteral("DataProviders"));
        QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("Befintliga DataProviders"));
        QCOMPARE(list()->accessibleName(), QStringLiteral("Befintliga DataProviders"));
        const std::pair<const char*, const char*> captions[] = {{"BitBtn4", "Lägg till..."},
                                                                {"BitBtn5", "Redigera..."},
                                                                {"BitBtn3", "Välj som standard"},
                                                                {"BitBtn6", "Radera"},
                                                                {"BitBtn1", "OK"},
                                                                {"BitBtn2", "Avbryt"}};
        for (const auto& [name, caption] : captions) {
            QCOMPARE(control<QPushButton>(name)->text(), QString::fromUtf8(caption));
        }
        QVERIFY(control<QPushButton>("BitBtn1")->isDefault());
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        control("BitBtn1")->setFocus();
        for (const char* next :
             {"BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5", "BitBtn6", "ListBox1", "BitBtn1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromUtf8(next));
        }
    }

    void listsTheDataLinkFilesInFolderOrderWhateverTheirCase() {
        addLinks({"b.udl", "A.UDL", "notes.txt", "c.Udl", ".udl", "x.udl.bak"});
        openDialog();
        QCOMPARE(entries(), (QStringList{QStringLiteral("b.udl"), QStringLiteral("A.UDL"),
                                         QStringLiteral("c.Udl"), QStringLiteral(".udl")}));
    }

    void aMissingDataLinksFolderListsNothing() {
        openDialog();
        QCOMPARE(list()->count(), 0);
    }

    void theStoredDefaultIsSelectedAndMarkedIgnoringCase_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("marked");
        QTest::addRow("other case") << QStringLiteral("LAGER.udl") << QStringLiteral("lager.UDL");
        QTest::addRow("full path")
            << QStringLiteral("/x/y/Lager.udl") << QStringLiteral("lager.UDL");
        QTest::addRow("no such file") << QStringLiteral("borta.udl") << QString();
    }

    void theStoredDefaultIsSelectedAndMarkedIgnoringCase() {
        QFETCH(QString, stored);
        QFETCH(QString, marked);
        addLinks({"annan.udl", "lager.UDL"});
        storeDefault(stored.toStdString());
        openDialog();
        QCOMPARE(selected(), marked);
        for (const auto& entry : entries()) {
            const auto look = lookOf(entry);
            QCOMPARE(look.green, entry == marked);
            QCOMPARE(look.background, entry == marked ? kSilver : QColor(Qt::white));
        }
    }

    void theButtonsOnTheSelectionNeedOne_data() {
        QTest::addColumn<QString>("button");
        for (const char* name : {"BitBtn1", "BitBtn3", "BitBtn5", "BitBtn6"}) {
            QTest::addRow("%s", name) << QString::fromUtf8(name);
        }
    }

    void theButtonsOnTheSelectionNeedOne() {
        QFETCH(QString, button);
        addLinks({"lager.udl"});
        openDialog();
        control<QPushButton>("BitBtn4")->setFocus();
        click(button.toUtf8().constData());
        QCOMPARE(twins->boxes.shownTexts(),
                 std::vector<std::string>{"Välj en DataProvider först!"});
        QCOMPARE(twins->boxes.shown()[0].kind, platform::BoxKind::Information);
        QCOMPARE(QApplication::focusWidget(), list());
        QVERIFY(dialog->isVisible());
        QVERIFY(twins->shellOpener.opened().empty());
        QVERIFY(twins->files.fileExists(kLinks + "lager.udl"));
        QVERIFY(!twins->store.keyExists(Hive::User, kSettingKey));
    }

    void cancelGivesTheDefaultsFileNameNotTheNewlyStoredOne_data() {
        QTest::addColumn<QString>("defaultProvider");
        QTest::addColumn<QString>("result");
        QTest::addRow("none stored")
            << QString::fromStdString(kLinks + "ERROR") << QStringLiteral("ERROR");
        QTest::addRow("a full path")
            << QStringLiteral("/data/gammal.udl") << QStringLiteral("gammal.udl");
        QTest::addRow("a bare name") << QStringLiteral("arg.udl") << QStringLiteral("arg.udl");
    }

    void cancelGivesTheDefaultsFileNameNotTheNewlyStoredOne() {
        QFETCH(QString, defaultProvider);
        QFETCH(QString, result);
        addLinks({"lager.udl"});
        vemlo::g_DefaultDataProvider = defaultProvider.toStdString();
        const auto chosen = runSelect([](vemlo::TfrmDataProviders& form) {
            auto* entries = form.findChild<QListWidget*>(QStringLiteral("ListBox1"));
            entries->setCurrentRow(0);
            QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("BitBtn3")),
                              Qt::LeftButton);
            QTest::keyClick(&form, Qt::Key_Escape);
        });
        QCOMPARE(chosen, result);
        QCOMPARE(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"),
                 std::string("lager.udl"));
    }

    void okGivesTheSelectedEntryAsListed() {
        addLinks({"lager.udl", "Annan.UDL"});
        const auto chosen = runSelect([](vemlo::TfrmDataProviders& form) {
            form.findChild<QListWidget*>(QStringLiteral("ListBox1"))->setCurrentRow(1);
            QTest::keyClick(&form, Qt::Key_Return);
        });
        QCOMPARE(chosen, QStringLiteral("Annan.UDL"));
    }

    void settingTheDefaultStoresItAndMovesTheMark() {
        addLinks({"lager.udl", "annan.udl"});
        storeDefault("lager.udl");
        openDialog();
        select(QStringLiteral("annan.udl"));
        click("BitBtn3");
        QCOMPARE(twins->store.storedValue(Hive::User, kSettingKey, "DefaultDataProvider"),
                 "annan.udl");
        QCOMPARE(twins->store.storedValue(Hive::Machine, kSettingKey, "DefaultDataProvider"),
                 "annan.udl");
        QVERIFY(lookOf(QStringLiteral("annan.udl")).green);
        QVERIFY(!lookOf(QStringLiteral("lager.udl")).green);
        QCOMPARE(selected(), QStringLiteral("annan.udl"));
        QVERIFY(dialog->isVisible());
    }

    void addingCreatesTheFileOpensItAndSelectsIt_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("entry");
        QTest::addRow("a name") << QStringLiteral("ny") << QStringLiteral("ny.udl");
        QTest::addRow("empty") << QString() << QStringLiteral(".udl");
        QTest::addRow("two dots") << QStringLiteral("..") << QStringLiteral("...udl");
        QTest::addRow("blanks kept") << QStringLiteral(" b ") << QStringLiteral(" b .udl");
        QTest::addRow("backslash") << QStringLiteral("a\\b") << QStringLiteral("a\\b.udl");
    }

    void addingCreatesTheFileOpensItAndSelectsIt() {
        QFETCH(QString, typed);
        QFETCH(QString, entry);
        addLinks({"lager.udl"});
        openDialog();
        const auto path = kLinks + entry.toStdString();
        bool createdFirst = false;
        twins->shellOpener.onOpen(
            [&](const auto&) { createdFirst = twins->files.fileExists(path); });
        twins->boxes.answerNextPrompt(typed.toStdString());
        click("BitBtn4");
        QCOMPARE(twins->boxes.prompted().size(), size_t{1});
        QCOMPARE(twins->boxes.prompted()[0].caption, std::string("Ny DataProvider"));
        QCOMPARE(twins->boxes.prompted()[0].label, std::string("DataProviderns namn:"));
        QCOMPARE(twins->boxes.prompted()[0].text, std::string());
        QCOMPARE(twins->files.content(path), std::optional<std::string>(""));
        QVERIFY(createdFirst);
        QCOMPARE(twins->shellOpener.opened(),
                 (std::vector<platform::RecordingShellOpener::Opened>{{path, kLinks}}));
        QCOMPARE(selected(), entry);
        QVERIFY(twins->boxes.shown().empty());
    }

    void addingAnExistingNameOpensItWithItsContent() {
        addLinks({"lager.udl"});
        openDialog();
        twins->boxes.answerNextPrompt("lager");
        click("BitBtn4");
        QCOMPARE(twins->files.content(kLinks + "lager.udl"),
                 std::optional<std::string>("innehåll i lager.udl"));
        QCOMPARE(twins->shellOpener.opened().size(), size_t{1});
        QCOMPARE(entries(), QStringList{QStringLiteral("lager.udl")});
    }

    void addingCreatesAMissingDataLinksFolder() {
        openDialog();
        twins->boxes.answerNextPrompt("första");
        click("BitBtn4");
        QVERIFY(twins->files.folderExists(kLinks));
        QCOMPARE(entries(), QStringList{QStringLiteral("första.udl")});
    }

    void addingRefusesANameThatLeavesTheFolder_data() {
        QTest::addColumn<QString>("typed");
        QTest::addRow("parent folders") << QStringLiteral("../../x");
        QTest::addRow("a sub-folder") << QStringLiteral("a/b");
        QTest::addRow("an absolute path") << QStringLiteral("/tmp/x");
        QTest::addRow("a NUL") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    }

    void addingRefusesANameThatLeavesTheFolder() {
        QFETCH(QString, typed);
        addLinks({"lager.udl"});
        openDialog();
        twins->boxes.answerNextPrompt(typed.toStdString());
        click("BitBtn4");
        QCOMPARE(twins->boxes.shownTexts(),
                 std::vector<std::string>{"Namnet på en DataProvider får inte innehålla \"/\"."});
        QCOMPARE(twins->boxes.shown()[0].kind, platform::BoxKind::Information);
        QVERIFY(twins->shellOpener.opened().empty());
        QCOMPARE(entries(), QStringList{QStringLiteral("lager.udl")});
        QVERIFY(!twins->files.fileExists("/x.udl"));
        QVERIFY(!twins->files.fileExists("/common/System/x.udl"));
    }

    void cancellingThePromptDoesNothing() {
        openDialog();
        twins->boxes.answerNextPrompt(std::nullopt);
        click("BitBtn4");
        QVERIFY(!twins->files.folderExists(kLinks));
        QVERIFY(twins->shellOpener.opened().empty());
    }

    void aFailedCreationIsReportedAndNothingIsOpened() {
        addLinks({"lager.udl"});
        twins->files.setReadOnly(kLinks);
        openDialog();
        select(QStringLiteral("lager.udl"));
        twins->boxes.answerNextPrompt("ny");
        click("BitBtn4");
        QCOMPARE(twins->boxes.shown().size(), size_t{1});
        const auto& box = twins->boxes.shown()[0];
        QCOMPARE(box.kind, platform::BoxKind::Error);
        QVERIFY(box.text.starts_with("Cannot create file \"" + kLinks + "ny.udl\""));
        // The application's error box, as for the window's own handlers.
        QVERIFY(!box.title.empty());
        QCOMPARE(box.title, QCoreApplication::applicationName().toStdString());
        QVERIFY(box.text.ends_with('.'));
        QVERIFY(twins->shellOpener.opened().empty());
        QCOMPARE(selected(), QStringLiteral("lager.udl"));
        QVERIFY(dialog->isVisible());
    }

    void editingOpensTheSelectedFile_data() {
        QTest::addColumn<bool>("doubleClick");
        QTest::addRow("Redigera...") << false;
        QTest::addRow("double-click") << true;
    }

    void editingOpensTheSelectedFile() {
        QFETCH(bool, doubleClick);
        addLinks({"lager.udl", "annan.udl"});
        openDialog();
        select(QStringLiteral("annan.udl"));
        if (doubleClick) {
            const auto at = list()->visualItemRect(list()->item(1)).center();
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
        } else {
            click("BitBtn5");
        }
        QCOMPARE(twins->shellOpener.opened(), (std::vector<platform::RecordingShellOpener::Opened>{
                                                  {kLinks + "annan.udl", kLinks}}));
        QCOMPARE(selected(), QStringLiteral("annan.udl"));
    }

    void comingBackKeepsTheEntryTheUserChose_data() {
        QTest::addColumn<bool>("added");
        QTest::addColumn<bool>("gone");
        QTest::addColumn<QString>("chosen");
        QTest::addRow("added") << true << false << QStringLiteral("ny.udl");
        QTest::addRow("edited") << false << false << QStringLiteral("annan.udl");
        QTest::addRow("added, then deleted elsewhere")
            << true << true << QStringLiteral("lager.udl");
    }

    void comingBackKeepsTheEntryTheUserChose() {
        QFETCH(bool, added);
        QFETCH(bool, gone);
        QFETCH(QString, chosen);
        addLinks({"lager.udl", "annan.udl"});
        storeDefault("lager.udl");
        openDialog();
        if (added) {
            twins->boxes.answerNextPrompt("ny");
            click("BitBtn4");
        } else {
            select(QStringLiteral("annan.udl"));
            click("BitBtn5");
        }
        if (gone) {
            QVERIFY(twins->files.deleteFile(kLinks + "ny.udl"));
        }
        comeBack();
        QCOMPARE(entries().contains(QStringLiteral("ny.udl")), added && !gone);
        QCOMPARE(selected(), chosen);
        click("BitBtn1");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(selected(), chosen);
    }

    // A Latin-1 name copied from elsewhere: shown readably, edited and deleted as the file it
    // is, and never stored, since the store holds UTF-8 only.
    void aNameThatIsNoUtf8IsShownReadablyAndActedOnAsItIs() {
        const std::string latin1 = "l\xF6n.udl";
        addLinks({"lager.udl"});
        twins->files.addFile(kLinks + latin1, "x");
        openDialog();
        QCOMPARE(entries(), (QStringList{QStringLiteral("lager.udl"), QStringLiteral("lön.udl")}));
        select(QStringLiteral("lön.udl"));
        QCOMPARE(dialog->SelectedEntry(), latin1);
        click("BitBtn5");
        QCOMPARE(twins->shellOpener.opened(),
                 (std::vector<platform::RecordingShellOpener::Opened>{{kLinks + latin1, kLinks}}));
        const std::string refusal = "Filnamnet \"lön.udl\" innehåller tecken som inte kan "
                                    "sparas. Byt namn på filen och välj den sedan igen.";
        click("BitBtn1");
        click("BitBtn3");
        QCOMPARE(twins->boxes.shownTexts(), (std::vector<std::string>{refusal, refusal}));
        QVERIFY(dialog->isVisible());
        QCOMPARE(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"),
                 std::string("ERROR"));
        twins->boxes.answerNext(platform::kBoxYes);
        click("BitBtn6");
        QCOMPARE(twins->boxes.shownTexts().back(),
                 std::string("Radera DataProvider-filen lön.udl"));
        QVERIFY(!twins->files.fileExists(kLinks + latin1));
        QCOMPARE(entries(), QStringList{QStringLiteral("lager.udl")});
    }

    // A Latin-1 name that reads like the stored default is another file: it is neither
    // selected as the default nor marked green.
    void aNameThatIsNoUtf8IsNeverTakenForTheDefault() {
        twins->files.addFile(kLinks + "l\xF6n.udl", "x");
        addLinks({"lager.udl"});
        storeDefault("lön.udl");
        openDialog();
        QCOMPARE(entries(), (QStringList{QStringLiteral("lön.udl"), QStringLiteral("lager.udl")}));
        QCOMPARE(selected(), QString());
        QVERIFY(!lookOf(QStringLiteral("lön.udl")).green);
        storeDefault("lager.udl");
        list()->viewport()->repaint();
        QVERIFY(lookOf(QStringLiteral("lager.udl")).green);
    }

    void deletingAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::addRow("yes") << platform::kBoxYes << true;
        QTest::addRow("no") << platform::kBoxNo << false;
    }

    void deletingAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        addLinks({"lager.udl", "annan.udl"});
        openDialog();
        select(QStringLiteral("annan.udl"));
        twins->boxes.answerNext(answer);
        click("BitBtn6");
        QCOMPARE(twins->boxes.shownTexts(),
                 std::vector<std::string>{"Radera DataProvider-filen annan.udl"});
        QCOMPARE(twins->boxes.shown()[0].buttons, platform::BoxButtons::YesNo);
        QCOMPARE(twins->files.fileExists(kLinks + "annan.udl"), !deleted);
        QCOMPARE(entries().contains(QStringLiteral("annan.udl")), !deleted);
        QCOMPARE(selected(), deleted ? QString() : QStringLiteral("annan.udl"));
    }

    void deletingTheDefaultKeepsTheSettingAndMarksNothing() {
        addLinks({"lager.udl", "annan.udl"});
        storeDefault("lager.udl");
        openDialog();
        twins->boxes.answerNext(platform::kBoxYes);
        click("BitBtn6");
        QCOMPARE(vemlo::ReadSharedSetting("DataProvider", "DefaultDataProvider"),
                 std::string("lager.udl"));
        QCOMPARE(entries(), QStringList{QStringLiteral("annan.udl")});
        QVERIFY(!lookOf(QStringLiteral("annan.udl")).green);
    }
};

QTEST_MAIN(DataProvidersDialogTest)
#include "data_providers_dialog_test.moc"
