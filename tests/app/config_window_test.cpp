// Configuration editing through the real window: the list, "Ny", "Tabort", the four fields, the
// data provider and folder dialogs (scripted), "Testa..." and the refused "Spara".
#include "app/TfrmNorlexa.h"
#include "tests/support/sqlite_hives.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/support/window_driver.h"
#include "toolkit/dataproviders/scripted_data_provider_selection.h"
#include "toolkit/settings/environment.h"
#include "toolkit/settings/registry.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using platform::Hive;
using vemlo::RegRoot;

namespace {

const std::string kSlots = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Configurations\\Config-";
const std::string kTimers = "SOFTWARE\\Vemlo\\Lumra-Bokforing-Service\\Timers";
const std::string kDataLinks = "/common/System/Ole DB/Data Links/";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

struct Fields {
    QString name;
    QString dataprovider;
    QString folder;
    QString filename;
};

// The fields of a configuration stored as the window test stores it.
Fields StoredFields(int slot) {
    const auto n = QString::number(slot);
    return {QStringLiteral("Config-") + n, QStringLiteral("db") + n + QStringLiteral(".udl"),
            QStringLiteral("/srv/export") + n + QStringLiteral("/"), QStringLiteral("fil") + n};
}

struct RemoveRow {
    const char* label;
    int stored;
    int removed;
    std::vector<const char*> listed;
    int selected;
};

const RemoveRow kRemoveRows[] = {
    {"the last of three", 3, 2, {"Config-0", "Config-1"}, 1},
    {"the middle of three", 3, 1, {"Config-0", "Config-2"}, 1},
    {"the first of three", 3, 0, {"Config-1", "Config-2"}, 0},
    {"the only one", 1, 0, {}, -1},
};

struct FolderRow {
    const char* label;
    std::optional<std::string> chosen;
    const char* shown;
};

const FolderRow kFolderRows[] = {
    {"local folder gains the separator", "/srv/ut", "/srv/ut/"},
    {"root stays the root", "/", "/"},
    {"session share becomes its universal name",
     "/run/user/1000/gvfs/smb-share:domain=D,server=filer,share=ekonomi,user=U/bok",
     "//filer/ekonomi/bok/"},
    {"kernel CIFS mount stays", "/mnt/cifs/bok", "/mnt/cifs/bok/"},
    {"cancelled", std::nullopt, "/srv/export0/"},
};

struct ProviderRow {
    const char* label;
    std::optional<std::string> answer;
    const char* shown;
};

const ProviderRow kProviderRows[] = {
    {"a chosen file", "lager.udl", "lager.udl"},
    {"colon and backslash are part of a name", "a:b\\c.udl", "a:b\\c.udl"},
    {"a path keeps its last part", "sub/inre.udl", "inre.udl"},
    {"cancelled gives the default", std::nullopt, "standard.udl"},
};

// A value the store would not take, pasted into a typed field of a configuration. (A data
// provider past the limit is refused by sparaRefusesAValuePastTheStoresLimit; the folder picker
// refuses such a folder itself.)
struct UnstorableEdit {
    int config;
    const char* field;
};

struct UnstorableRow {
    const char* label;
    std::vector<UnstorableEdit> edits;
    const char* caption;
    int config;
    const char* field;
};

const UnstorableRow kUnstorableRows[] = {
    {"name", {{1, "edtConfigName"}}, "Namn", 1, "edtConfigName"},
    {"file name", {{1, "edExportfilname"}}, "Ange filnamn", 1, "edExportfilname"},
    {"the first field of a configuration",
     {{1, "edExportfilname"}, {1, "edtConfigName"}},
     "Namn",
     1,
     "edtConfigName"},
    {"the first configuration",
     {{1, "edtConfigName"}, {0, "edExportfilname"}},
     "Ange filnamn",
     0,
     "edExportfilname"},
};

} // namespace

// The window with the data links folder of these tests, set after the first show has set up its
// own.
class ConfigWindowDriver : public QObject, public testing_support::WindowDriver {
protected:
    void openWindow() {
        WindowDriver::openWindow();
        vemlo::g_DataLinksPath = kDataLinks;
        vemlo::g_DefaultDataProvider = kDataLinks + "standard.udl";
    }

    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }
};

class ConfigWindowTest : public ConfigWindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::ToolkitTwins> twins;
    std::unique_ptr<vemlo::ScriptedDataProviderSelection> providers;

    void storeConfigs(int count) {
        for (int slot = 0; slot < count; ++slot) {
            const auto key = kSlots + std::to_string(slot);
            const auto fields = StoredFields(slot);
            for (const auto& [value, text] :
                 {std::pair{"Name", fields.name}, std::pair{"DataProvider", fields.dataprovider},
                  std::pair{"ExportPathBokforing", fields.folder},
                  std::pair{"ExportFilename", fields.filename}}) {
                QVERIFY(
                    vemlo::RegWriteString(RegRoot::LocalMachine, key, value, text.toStdString()));
            }
        }
    }

    QComboBox* list() { return control<QComboBox>("cmbConfigs"); }

    Fields shown() {
        return {edit("edtConfigName")->text(), edit("edDataprovider")->text(),
                edit("edExportkatalog")->text(), edit("edExportfilname")->text()};
    }

    void compareFields(const Fields& actual, const Fields& expected) {
        QCOMPARE(actual.name, expected.name);
        QCOMPARE(actual.dataprovider, expected.dataprovider);
        QCOMPARE(actual.folder, expected.folder);
        QCOMPARE(actual.filename, expected.filename);
    }

    std::optional<std::string> stored(int slot, const char* value) {
        return twins->store.storedValue(Hive::Machine, kSlots + std::to_string(slot), value);
    }

private Q_SLOTS:
    void init() {
        twins = std::make_unique<testing_support::ToolkitTwins>();
        providers = std::make_unique<vemlo::ScriptedDataProviderSelection>();
        vemlo::UseDataProviderSelection(providers.get());
    }

    void cleanup() {
        window.reset();
        vemlo::UseDataProviderSelection(nullptr);
        providers.reset();
        twins.reset();
    }

    void anEmptyStoreOpensWithNothingToEdit() {
        openWindow();
        QCOMPARE(list()->count(), 0);
        QCOMPARE(list()->currentIndex(), -1);
        QVERIFY(control<QPushButton>("btnConfigAdd")->isEnabled());
        QVERIFY(!control<QPushButton>("btnConfigRemove")->isEnabled());
        QVERIFY(!edit("edtConfigName")->isEnabled());
        QVERIFY(edit("edtConfigName")->text().isEmpty());
        QVERIFY(!control<QPushButton>("buDataprovider")->isEnabled());
        QVERIFY(control<QToolButton>("buValjKatalog")->isEnabled());
        QVERIFY(edit("edExportfilname")->isEnabled());
        QVERIFY(control<QPushButton>("buTestaAnslutning")->isEnabled());

        click("btnConfigAdd");
        QCOMPARE(configNames(), QStringList{QStringLiteral("Config-0")});
        QCOMPARE(list()->currentIndex(), 0);
        compareFields(shown(), {QStringLiteral("Config-0"), QStringLiteral("DefaultDataProvider"),
                                QString(), QString()});
        QVERIFY(edit("edtConfigName")->isEnabled());
        QVERIFY(control<QPushButton>("btnConfigRemove")->isEnabled());
        QVERIFY(!twins->store.storedValue(Hive::Machine, kSlots + "0", "Name"));
    }

    void nyAfterRemovingTheMiddleRepeatsAName() {
        storeConfigs(3);
        openWindow();
        testing_support::PickFromList(list(), 1);
        click("btnConfigRemove");
        click("btnConfigAdd");
        QCOMPARE(configNames(), (QStringList{QStringLiteral("Config-0"), QStringLiteral("Config-2"),
                                             QStringLiteral("Config-2")}));
        QCOMPARE(list()->currentIndex(), 2);
        compareFields(shown(), {QStringLiteral("Config-2"), QStringLiteral("DefaultDataProvider"),
                                QString(), QString()});
    }

    void removing_data() { testing_support::AddTableRows(kRemoveRows); }

    void removing() {
        QFETCH(int, row);
        const auto& remove = kRemoveRows[row];
        storeConfigs(remove.stored);
        openWindow();
        if (remove.removed > 0) {
            testing_support::PickFromList(list(), remove.removed);
        }
        const Fields before = shown();
        click("btnConfigRemove");

        QStringList expected;
        for (const char* name : remove.listed) {
            expected << QString::fromUtf8(name);
        }
        QCOMPARE(configNames(), expected);
        QCOMPARE(list()->currentIndex(), remove.selected);
        QCOMPARE(control<QPushButton>("btnConfigRemove")->isEnabled(), !expected.isEmpty());
        if (expected.isEmpty()) {
            // The name empties; the other fields keep the removed configuration's texts.
            compareFields(shown(),
                          {QString(), before.dataprovider, before.folder, before.filename});
            QVERIFY(!edit("edtConfigName")->isEnabled());
            QVERIFY(!control<QPushButton>("buDataprovider")->isEnabled());
        } else {
            const int slot = edit("edtConfigName")->text().back().digitValue();
            QCOMPARE(edit("edtConfigName")->text(), expected[remove.selected]);
            compareFields(shown(), StoredFields(slot));
        }
        QCOMPARE(Q(*stored(remove.stored - 1, "Name")), StoredFields(remove.stored - 1).name);
    }

    void typingANameRenamesTheEntryAtEveryKeystroke() {
        storeConfigs(2);
        openWindow();
        auto* name = edit("edtConfigName");
        name->setFocus();
        name->setCursorPosition(0);
        QTest::keyClicks(name, QStringLiteral("L"));
        QCOMPARE(list()->itemText(0), QStringLiteral("LConfig-0"));
        QCOMPARE(name->cursorPosition(), 1);
        QTest::keyClicks(name, QStringLiteral("A"));
        QCOMPARE(list()->itemText(0), QStringLiteral("LAConfig-0"));
        QCOMPARE(list()->itemText(1), QStringLiteral("Config-1"));
        QCOMPARE(Q(*stored(0, "Name")), QStringLiteral("Config-0"));
    }

    void clearingANameKeepsTheEntryUntilSpara() {
        storeConfigs(2);
        openWindow();
        retype("edtConfigName", QString());
        QCOMPARE(configNames(), (QStringList{QString(), QStringLiteral("Config-1")}));
        QCOMPARE(list()->currentIndex(), 0);
        QVERIFY(twins->boxes.shown().empty());
    }

    void theKeyboardSelectionShowsTheConfigurationBeforeAnEdit_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("selected");
        QTest::addRow("down") << int(Qt::Key_Down) << 1;
        QTest::addRow("end") << int(Qt::Key_End) << 2;
    }

    void theKeyboardSelectionShowsTheConfigurationBeforeAnEdit() {
        QFETCH(int, key);
        QFETCH(int, selected);
        storeConfigs(3);
        openWindow();
        list()->setFocus();
        QTest::keyClick(list(), static_cast<Qt::Key>(key));
        QCOMPARE(list()->currentIndex(), selected);
        compareFields(shown(), StoredFields(selected));

        retype("edExportfilname", QStringLiteral("ny"));
        click("btnSpara");
        QCOMPARE(Q(*stored(selected, "ExportFilename")), QStringLiteral("ny"));
        QCOMPARE(Q(*stored(selected, "Name")), StoredFields(selected).name);
        QCOMPARE(Q(*stored(0, "ExportFilename")), StoredFields(0).filename);
    }

    void choosingTheExportFolder_data() { testing_support::AddTableRows(kFolderRows); }

    void choosingTheExportFolder() {
        QFETCH(int, row);
        const auto& choice = kFolderRows[row];
        twins->networkNames.mounts = {
            {.mountPoint = "/", .type = "ext4", .source = "/dev/sda1"},
            {.mountPoint = "/run/user/1000/gvfs",
             .type = "fuse.gvfsd-fuse",
             .source = "gvfsd-fuse"},
            {.mountPoint = "/mnt/cifs", .type = "cifs", .source = "//filer/bok"},
        };
        storeConfigs(1);
        openWindow();
        twins->folders.answerNext(choice.chosen);
        click("buValjKatalog");

        QCOMPARE(twins->folders.requests().size(), size_t{1});
        const auto& request = twins->folders.requests()[0];
        QCOMPARE(request.owner, static_cast<platform::WindowHandle>(window->winId()));
        QCOMPARE(Q(request.title), QStringLiteral("Välj exportkatalog"));
        QCOMPARE(Q(request.initialFolder), StoredFields(0).folder);
        QCOMPARE(request.flags, 117u);
        QCOMPARE(edit("edExportkatalog")->text(), QString::fromUtf8(choice.shown));
        click("btnSpara");
        QCOMPARE(Q(*stored(0, "ExportPathBokforing")), QString::fromUtf8(choice.shown));
    }

    void withoutConfigurationTheFolderIsShownButKeptNowhere() {
        openWindow();
        twins->folders.answerNext("/srv/ut");
        click("buValjKatalog");
        QCOMPARE(edit("edExportkatalog")->text(), QStringLiteral("/srv/ut/"));
        click("btnConfigAdd");
        QCOMPARE(edit("edExportkatalog")->text(), QString());
    }

    void choosingTheDataProvider_data() { testing_support::AddTableRows(kProviderRows); }

    void choosingTheDataProvider() {
        QFETCH(int, row);
        const auto& choice = kProviderRows[row];
        storeConfigs(2);
        openWindow();
        testing_support::PickFromList(list(), 1);
        if (choice.answer) {
            providers->answerNext(*choice.answer);
        }
        click("buDataprovider");
        QCOMPARE(providers->asked(), std::vector<std::string>{"DefaultDataProvider"});
        QCOMPARE(edit("edDataprovider")->text(), QString::fromUtf8(choice.shown));
        QCOMPARE(list()->currentIndex(), 1);
        click("btnSpara");
        QCOMPARE(Q(*stored(1, "DataProvider")), QString::fromUtf8(choice.shown));
        QCOMPARE(Q(*stored(0, "DataProvider")), StoredFields(0).dataprovider);
    }

    void testaChangesNothing() {
        storeConfigs(2);
        openWindow();
        const Fields before = shown();
        click("buTestaAnslutning");
        compareFields(shown(), before);
        QCOMPARE(configNames(),
                 (QStringList{QStringLiteral("Config-0"), QStringLiteral("Config-1")}));
        QVERIFY(twins->boxes.shown().empty());
        QVERIFY(twins->folders.requests().empty());
        QVERIFY(providers->asked().empty());
        QVERIFY(!twins->store.storedValue(Hive::Machine, kTimers, "Nextrun"));
    }
};

// The window on real store files: what "Spara" writes is what the next window shows, and a
// refused "Spara" leaves the files as they were.
class ConfigStoreFileTest : public ConfigWindowDriver {
    Q_OBJECT

private:
    std::unique_ptr<testing_support::SqliteHives> hives;
    vemlo::ScriptedDataProviderSelection providers;

    testing_support::ToolkitTwins& twins() { return hives->twins; }

    void openStore() {
        window.reset();
        hives->reopen();
    }

    std::string files() {
        return testing_support::ReadFileBytes(hives->machineHive()) + "|" +
               testing_support::ReadFileBytes(hives->userHive());
    }

private Q_SLOTS:
    void init() {
        hives = std::make_unique<testing_support::SqliteHives>();
        vemlo::UseDataProviderSelection(&providers);
    }

    void cleanup() {
        window.reset();
        vemlo::UseDataProviderSelection(nullptr);
        hives.reset();
    }

    void editedConfigurationsAndScheduleAreWhatTheNextWindowShows() {
        openWindow();
        click("btnConfigAdd");
        retype("edtConfigName", QStringLiteral("Lager"));
        providers.answerNext("lager.udl");
        click("buDataprovider");
        twins().folders.answerNext("/srv/lager");
        click("buValjKatalog");
        retype("edExportfilname", QStringLiteral("lagerfil"));

        click("btnConfigAdd");
        retype("edtConfigName", QStringLiteral("Ekonomi  "));
        twins().folders.answerNext("/run/user/1000/gvfs/smb-share:server=filer,share=eko/ut");
        twins().networkNames.mounts = {
            {.mountPoint = "/run/user/1000/gvfs", .type = "fuse.gvfsd-fuse", .source = "gvfsd"}};
        click("buValjKatalog");
        retype("edExportfilname", QStringLiteral("ekofil"));

        testing_support::PickFromList(control<QComboBox>("cbPeriod"), 1);
        testing_support::PickFromList(control<QComboBox>("cbDag"), 4);
        control<QCheckBox>("cbRestartService")->setChecked(true);
        click("btnSpara");
        QVERIFY(twins().boxes.shown().empty());

        openStore();
        openWindow();
        auto* list = control<QComboBox>("cmbConfigs");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0), QStringLiteral("Lager"));
        QCOMPARE(list->itemText(1), QStringLiteral("Ekonomi  "));
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(edit("edtConfigName")->text(), QStringLiteral("Lager"));
        QCOMPARE(edit("edDataprovider")->text(), QStringLiteral("lager.udl"));
        QCOMPARE(edit("edExportkatalog")->text(), QStringLiteral("/srv/lager/"));
        QCOMPARE(edit("edExportfilname")->text(), QStringLiteral("lagerfil"));
        testing_support::PickFromList(list, 1);
        QCOMPARE(edit("edtConfigName")->text(), QStringLiteral("Ekonomi  "));
        QCOMPARE(edit("edDataprovider")->text(), QStringLiteral("DefaultDataProvider"));
        QCOMPARE(edit("edExportkatalog")->text(), QStringLiteral("//filer/eko/ut/"));
        QCOMPARE(edit("edExportfilname")->text(), QStringLiteral("ekofil"));
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Vecka"));
        QCOMPARE(control<QComboBox>("cbDag")->currentText(), QStringLiteral("Fredag"));
        QVERIFY(control<QCheckBox>("cbRestartService")->isChecked());
        QVERIFY(control<QTimeEdit>("dtpRestart")->isEnabled());
    }

    // The store takes at most 1024 UTF-16 units a value: typing stops there and saves what the
    // field shows; a longer folder is refused at once with a box.
    void typedTextAndFoldersStopAtTheStoresLimit() {
        openWindow();
        click("btnConfigAdd");
        click("btnConfigAdd");
        const QString longText(1100, QLatin1Char('x'));
        const QString fitting(1024, QLatin1Char('x'));
        retype("edtConfigName", longText);
        QCOMPARE(edit("edtConfigName")->text(), fitting);
        retype("edExportfilname", QStringLiteral("f") + longText);
        QCOMPARE(edit("edExportfilname")->text().size(), 1024);
        twins().folders.answerNext("/srv/" + std::string(1100, 'k'));
        click("buValjKatalog");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QVERIFY(twins().boxes.shown()[0].text.starts_with(
            "Sökvägen till den valda mappen är längre än 1024 tecken"));
        QCOMPARE(edit("edExportkatalog")->text(), QString());

        click("btnSpara");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "1", "Name")), fitting);
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "1", "ExportFilename")),
                 QStringLiteral("f") + fitting.left(1023));
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name")),
                 QStringLiteral("Config-0"));
    }

    // A character of two UTF-16 units cut by the limit is left out whole, never stored as half
    // a character.
    void aCharacterCutByTheLimitIsLeftOutWhole() {
        openWindow();
        click("btnConfigAdd");
        const QString fitting(1023, QLatin1Char('x'));
        QApplication::clipboard()->setText(fitting + QString::fromUtf8("\xF0\x9F\x98\x80y"));
        auto* field = edit("edExportfilname");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), fitting);
        click("btnSpara");
        QVERIFY(twins().boxes.shown().empty());
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "0", "ExportFilename")),
                 fitting);
    }

    // A value past the limit that reaches a configuration refuses the whole save, naming the
    // configuration and the field, and writes nothing.
    void sparaRefusesAValuePastTheStoresLimit() {
        openWindow();
        click("btnConfigAdd");
        click("btnConfigAdd");
        click("btnSpara");
        const std::string before = files();
        testing_support::PickFromList(control<QComboBox>("cmbConfigs"), 0);
        retype("edtConfigName", QStringLiteral("Lager"));
        testing_support::PickFromList(control<QComboBox>("cmbConfigs"), 1);
        providers.answerNext(std::string(1100, 'd') + ".udl");
        click("buDataprovider");
        testing_support::PickFromList(control<QComboBox>("cmbConfigs"), 0);

        click("btnSpara");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(Q(twins().boxes.shown()[0].text),
                 QStringLiteral("Fältet \"Databaskoppling\" i konfiguration nummer 2 är längre "
                                "än 1024 tecken eller innehåller tecken som inte kan sparas. "
                                "Ändra det innan du sparar; inget har sparats."));
        QVERIFY(files() == before);
        QCOMPARE(control<QComboBox>("cmbConfigs")->currentIndex(), 1);
        QCOMPARE(window->focusWidget(), edit("edDataprovider"));

        providers.answerNext("lager.udl");
        click("buDataprovider");
        click("btnSpara");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "0", "Name")),
                 QStringLiteral("Lager"));
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "1", "DataProvider")),
                 QStringLiteral("lager.udl"));
    }

    // The first value the store would not take, configuration by configuration and in the
    // fields' order, is named by its field's caption and its field gets the focus; nothing is
    // written.
    void sparaNamesTheFirstUnstorableValue_data() {
        testing_support::AddTableRows(kUnstorableRows);
    }

    void sparaNamesTheFirstUnstorableValue() {
        QFETCH(int, row);
        const auto& unstorable = kUnstorableRows[row];
        openWindow();
        click("btnConfigAdd");
        click("btnConfigAdd");
        click("btnSpara");
        const std::string before = files();
        // A NUL, which no store holds, pasted into a typed field.
        QApplication::clipboard()->setText(QStringLiteral("a") + QChar(u'\0') +
                                           QStringLiteral("b"));
        for (const auto& edit : unstorable.edits) {
            testing_support::PickFromList(control<QComboBox>("cmbConfigs"), edit.config);
            control(edit.field)->setFocus();
            QTest::keyClick(control(edit.field), Qt::Key_V, Qt::ControlModifier);
        }
        testing_support::PickFromList(control<QComboBox>("cmbConfigs"), 1 - unstorable.config);

        click("btnSpara");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QCOMPARE(Q(twins().boxes.shown()[0].text),
                 QStringLiteral("Fältet \"") + QString::fromUtf8(unstorable.caption) +
                     QStringLiteral("\" i konfiguration nummer ") +
                     QString::number(unstorable.config + 1) +
                     QStringLiteral(" är längre än 1024 tecken eller innehåller tecken som inte "
                                    "kan sparas. Ändra det innan du sparar; inget har sparats."));
        QVERIFY(files() == before);
        QCOMPARE(control<QComboBox>("cmbConfigs")->currentIndex(), unstorable.config);
        QCOMPARE(window->focusWidget(), control(unstorable.field));
    }

    void sparaRefusesAConfigurationWithoutName() {
        openWindow();
        click("btnConfigAdd");
        click("btnConfigAdd");
        click("btnConfigAdd");
        click("btnSpara");
        QVERIFY(twins().boxes.shown().empty());

        auto* list = control<QComboBox>("cmbConfigs");
        testing_support::PickFromList(list, 1);
        retype("edtConfigName", QString());
        testing_support::PickFromList(list, 2);
        retype("edExportfilname", QStringLiteral("osparad"));
        control<QCheckBox>("cbRestartService")->setChecked(true);
        testing_support::PickFromList(control<QComboBox>("cbPeriod"), 3);
        const QString nextRun = edit("edNextrun")->text();
        const std::string before = files();

        click("btnSpara");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        const auto& box = twins().boxes.shown()[0];
        QCOMPARE(box.kind, platform::BoxKind::Information);
        QCOMPARE(
            Q(box.text),
            QStringLiteral("Konfiguration nummer 2 saknar namn. Ange ett namn innan du sparar."));
        QVERIFY(files() == before);
        QCOMPARE(list->currentIndex(), 1);
        QCOMPARE(edit("edtConfigName")->text(), QString());
        QCOMPARE(window->focusWidget(), edit("edtConfigName"));
        QCOMPARE(edit("edNextrun")->text(), nextRun);
        QVERIFY(control<QCheckBox>("cbRestartService")->isChecked());
        QCOMPARE(control<QComboBox>("cbPeriod")->currentText(), QStringLiteral("Månad"));
        QCOMPARE(list->itemText(2), QStringLiteral("Config-2"));

        // A name of blanks is a name.
        QTest::keyClicks(edit("edtConfigName"), QStringLiteral(" "));
        click("btnSpara");
        QCOMPARE(twins().boxes.shown().size(), size_t{1});
        QVERIFY(files() != before);
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "1", "Name")),
                 QStringLiteral(" "));
        QCOMPARE(Q(vemlo::RegReadString(RegRoot::LocalMachine, kSlots + "2", "ExportFilename")),
                 QStringLiteral("osparad"));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ConfigWindowTest editing;
    ConfigStoreFileTest storeFiles;
    return QTest::qExec(&editing, argc, argv) | QTest::qExec(&storeFiles, argc, argv);
}

#include "config_window_test.moc"
