// The export configurations: the list, the selected configuration's fields, "Ny", "Tabort", the
// data provider and the export folder.
#include "admin/config_rules.h"
#include "admin/export_folder.h"
#include "app/TfrmNorlexa.h"
#include "platform/store_text.h"
#include "toolkit/dataproviders/data_provider_names.h"
#include "toolkit/dataproviders/data_provider_selection.h"
#include "toolkit/desktop/folder_picker.h"
#include "toolkit/dialogs/message_routines.h"
#include "toolkit/settings/environment.h"
#include "toolkit/widgets/handler_guard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QToolButton>
#include <QValidator>
#include <algorithm>

namespace {

// Folders only, with the dialog's status line, edit box and validation, in its newer style.
constexpr std::uint32_t kExportFolderBrowseFlags = 117;

// Sets a field's text only when it differs, so that an unchanged text raises no change and the
// cursor stays where the user is typing.
void SetFieldText(QLineEdit* field, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (field->text() != shown) {
        field->setText(shown);
    }
}

// The field cuts a text at its limit in UTF-16 units and may keep half of a character that
// takes two; no store holds half a character, so the half is left out.
class WholeCharactersAtTheLimit final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        if (input.size() < static_cast<qsizetype>(platform::kMaxTextUnits)) {
            return Acceptable;
        }
        for (qsizetype i = 0; i < input.size();) {
            if (input[i].isHighSurrogate() && i + 1 < input.size() &&
                input[i + 1].isLowSurrogate()) {
                i += 2;
            } else if (input[i].isSurrogate()) {
                input.remove(i, 1);
                pos -= pos > i ? 1 : 0;
            } else {
                ++i;
            }
        }
        return Acceptable;
    }
};

} // namespace

void TfrmNorlexa::ConnectConfigHandlers() {
    // The store takes no longer value; typing stops at its limit rather than losing the text.
    for (auto* typed : {edtConfigName, edExportfilname}) {
        typed->setMaxLength(static_cast<int>(platform::kMaxTextUnits));
        typed->setValidator(new WholeCharactersAtTheLimit(typed));
    }
    vemlo::ConnectGuarded(cmbConfigs, &QComboBox::activated, this, &TfrmNorlexa::cmbConfigsCloseUp);
    vemlo::ConnectGuarded(cmbConfigs, &QComboBox::currentIndexChanged, this,
                          &TfrmNorlexa::cmbConfigsChange);
    vemlo::ConnectGuarded(btnConfigAdd, &QPushButton::clicked, this,
                          &TfrmNorlexa::btnConfigAddClick);
    vemlo::ConnectGuarded(btnConfigRemove, &QPushButton::clicked, this,
                          &TfrmNorlexa::btnConfigRemoveClick);
    vemlo::ConnectGuarded(edtConfigName, &QLineEdit::textChanged, this,
                          &TfrmNorlexa::edtConfigNameChange);
    vemlo::ConnectGuarded(edDataprovider, &QLineEdit::textChanged, this,
                          &TfrmNorlexa::edDataproviderChange);
    vemlo::ConnectGuarded(edExportkatalog, &QLineEdit::textChanged, this,
                          &TfrmNorlexa::edExportkatalogChange);
    vemlo::ConnectGuarded(edExportfilname, &QLineEdit::textChanged, this,
                          &TfrmNorlexa::edExportfilnameChange);
    vemlo::ConnectGuarded(buDataprovider, &QPushButton::clicked, this,
                          &TfrmNorlexa::buDataproviderClick);
    vemlo::ConnectGuarded(buValjKatalog, &QToolButton::clicked, this,
                          &TfrmNorlexa::buValjKatalogClick);
    vemlo::ConnectGuarded(buTestaAnslutning, &QPushButton::clicked, this,
                          &TfrmNorlexa::buTestaAnslutningClick);
}

void TfrmNorlexa::RefillConfigList() {
    // The list's own selection while it is refilled is no user's change.
    const QSignalBlocker quiet(cmbConfigs);
    int position = cmbConfigs->currentIndex();
    cmbConfigs->clear();
    for (int i = 0; i < configs->Count(); ++i) {
        cmbConfigs->addItem(QString::fromStdString(configs->GetItem(i).name));
    }
    if (configs->Count() > 0 && position <= 0) {
        position = 0;
    }
    cmbConfigs->setCurrentIndex(std::min(position, cmbConfigs->count() - 1));
    btnConfigAdd->setEnabled(true);
    btnConfigRemove->setEnabled(cmbConfigs->count() > 0);
}

bool TfrmNorlexa::ShowConfigFields() {
    const bool any = cmbConfigs->count() > 0;
    edtConfigName->setEnabled(any);
    buDataprovider->setEnabled(any);
    dtpRestart->setEnabled(cbRestartService->isChecked());
    const lumra::TLumraConfig* config = SelectedConfig();
    if (!config) {
        edtConfigName->clear();
        return false;
    }
    // Each text that changes raises its field's change handler, which stores the same value back.
    SetFieldText(edtConfigName, config->name);
    SetFieldText(edDataprovider, config->dataprovider);
    SetFieldText(edExportkatalog, config->exportPathBokforing);
    SetFieldText(edExportfilname, config->exportFilename);
    return true;
}

void TfrmNorlexa::ShowSelectedConfig(RunInfo shown) {
    if (shown == RunInfo::WithRestart) {
        restartLoadProblem.clear();
        restartTaken = false;
    }
    if (ShowConfigFields()) {
        ShowRunInfo(shown);
    }
}

lumra::TLumraConfig* TfrmNorlexa::SelectedConfig() {
    const int selected = cmbConfigs->currentIndex();
    if (cmbConfigs->count() == 0 || selected < 0) {
        return nullptr;
    }
    return &configs->GetItem(selected);
}

void TfrmNorlexa::cmbConfigsCloseUp() {
    ShowSelectedConfig();
}

// A selection changed by keys on the closed list raises no close-up; the fields must show the
// newly selected configuration before an edit is stored into it.
void TfrmNorlexa::cmbConfigsChange() {
    ShowSelectedConfig();
}

void TfrmNorlexa::btnConfigAddClick() {
    configs->Add();
    RefillConfigList();
    cmbConfigs->setCurrentIndex(cmbConfigs->count() - 1);
    ShowSelectedConfig();
}

void TfrmNorlexa::btnConfigRemoveClick() {
    configs->Delete(cmbConfigs->currentIndex());
    RefillConfigList();
    ShowSelectedConfig();
}

bool TfrmNorlexa::StoreField(std::string lumra::TLumraConfig::*member, const QLineEdit* field) {
    lumra::TLumraConfig* config = SelectedConfig();
    if (!config) {
        return false;
    }
    config->*member = field->text().toStdString();
    return true;
}

void TfrmNorlexa::edtConfigNameChange() {
    if (StoreField(&lumra::TLumraConfig::name, edtConfigName)) {
        RefillConfigList();
        ShowSelectedConfig();
    }
}

void TfrmNorlexa::edDataproviderChange() {
    if (StoreField(&lumra::TLumraConfig::dataprovider, edDataprovider)) {
        RefillConfigList();
        ShowSelectedConfig();
    }
}

void TfrmNorlexa::edExportkatalogChange() {
    if (StoreField(&lumra::TLumraConfig::exportPathBokforing, edExportkatalog)) {
        ShowSelectedConfig();
    }
}

void TfrmNorlexa::edExportfilnameChange() {
    if (StoreField(&lumra::TLumraConfig::exportFilename, edExportfilname)) {
        ShowSelectedConfig();
    }
}

// A cancelled dialog hands back the default data provider's file name, which is then taken.
void TfrmNorlexa::buDataproviderClick() {
    const std::string chosen = vemlo::DataProviders().SelectDataProvider("DefaultDataProvider");
    SetFieldText(edDataprovider, vemlo::FileNamePart(vemlo::g_DataLinksPath + chosen));
}

void TfrmNorlexa::buValjKatalogClick() {
    std::string folder = edExportkatalog->text().toStdString();
    if (vemlo::BrowseForFolder(static_cast<platform::WindowHandle>(winId()), folder,
                               vemlo::TranslateText("Välj exportkatalog"),
                               kExportFolderBrowseFlags)) {
        const std::string chosen = lumra::UniversalExportFolder(folder);
        if (platform::IsStorableText(chosen)) {
            SetFieldText(edExportkatalog, chosen);
        } else {
            vemlo::ShowInfoMessage("Sökvägen till den valda mappen är längre än " +
                                   std::to_string(platform::kMaxTextUnits) +
                                   " tecken och kan inte sparas. Välj en mapp med kortare sökväg.");
        }
    }
    RefillConfigList();
    ShowSelectedConfig();
}

// The button is kept where the users know it; a connection test is not offered.
void TfrmNorlexa::buTestaAnslutningClick() {}

// The configuration at fault is shown with the focus in its field.
bool TfrmNorlexa::RefuseConfigsBeforeSave() {
    const auto refusal = lumra::RefusalBeforeSave(*configs);
    if (!refusal) {
        return false;
    }
    QLineEdit* const fields[] = {edtConfigName, edDataprovider, edExportkatalog, edExportfilname};
    vemlo::ShowInfoMessage(refusal->message);
    SelectForCorrection(refusal->index, fields[static_cast<int>(refusal->field)]);
    return true;
}

void TfrmNorlexa::SelectForCorrection(int i, QLineEdit* field) {
    {
        // Shown without the stored run information, which would replace unsaved choices.
        const QSignalBlocker quietList(cmbConfigs);
        const QSignalBlocker quietName(edtConfigName);
        const QSignalBlocker quietDataprovider(edDataprovider);
        const QSignalBlocker quietFolder(edExportkatalog);
        const QSignalBlocker quietFilename(edExportfilname);
        cmbConfigs->setCurrentIndex(i);
        ShowConfigFields();
    }
    field->setFocus();
}
