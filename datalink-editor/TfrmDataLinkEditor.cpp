#include "datalink-editor/TfrmDataLinkEditor.h"

#include "platform/linux/regular_file.h"
#include "platform/message_boxes.h"
#include "toolkit/dataproviders/connection_edit.h"
#include "toolkit/dataproviders/data_link_file.h"
#include "toolkit/dataproviders/readable_file_name.h"
#include "toolkit/widgets/control_building.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vemlo {

namespace {

constexpr const char* kPersist = "Persist Security Info";
// A data link file holds one line; a larger file is refused rather than read into memory.
constexpr std::size_t kMaxDataLinkBytes = 64 * 1024;

// A row of the form whose label names the field.
void AddRow(QFormLayout* form, const char* caption, QWidget* field) {
    auto* label = new QLabel(QString::fromUtf8(caption), field->parentWidget());
    NameByLabel(label, field);
    form->addRow(label, field);
}

} // namespace

TfrmDataLinkEditor::TfrmDataLinkEditor(std::string path, platform::MessageBoxes& boxes,
                                       ConnectionTest test)
    : QWidget(nullptr, Qt::Window)
    , path_(std::move(path))
    , boxes_(boxes)
    , test_(std::move(test)) {
    setObjectName(QStringLiteral("frmDataLinkEditor"));
    setWindowTitle(QStringLiteral("Egenskaper för datalänk"));
    buildControls();
    Load();
}

TfrmDataLinkEditor::~TfrmDataLinkEditor() = default;

void TfrmDataLinkEditor::buildControls() {
    auto* layout = new QVBoxLayout(this);
    lbFile = MakeNamed<QLabel>(this, "lbFile");
    lbFile->setText(QString::fromStdString(ReadableFileName(path_)));
    lbFile->setTextFormat(Qt::PlainText);
    lbFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lbFile);

    auto* form = new QFormLayout();
    layout->addLayout(form);
    cbProvider = MakeNamed<QComboBox>(this, "cbProvider");
    cbProvider->setEditable(true);
    cbProvider->addItems({QString(), QStringLiteral("SQLite"), QStringLiteral("PostgreSQL"),
                          QStringLiteral("MSDASQL")});
    AddRow(form, "&Provider", cbProvider);
    const struct {
        const char* key;
        const char* name;
        const char* caption;
    } rows[] = {
        {"Data Source", "edDataSource", "&Datakälla (Data Source)"},
        {"Initial Catalog", "edInitialCatalog", "Data&bas (Initial Catalog)"},
        {"User ID", "edUserID", "&Användare (User ID)"},
        {"Password", "edPassword", "&Lösenord (Password)"},
    };
    for (const auto& row : rows) {
        auto* edit = MakeNamed<QLineEdit>(this, row.name);
        AddRow(form, row.caption, edit);
        fields_.push_back({row.key, edit});
        connect(edit, &QLineEdit::textEdited, this,
                [this, key = row.key](const QString& text) { fieldChanged(key, text); });
    }
    fields_.back().edit->setEchoMode(QLineEdit::Password);
    cbPersistSecurityInfo = MakeNamed<QCheckBox>(this, "cbPersistSecurityInfo");
    cbPersistSecurityInfo->setText(QStringLiteral("&Spara lösenordet (Persist Security Info)"));
    form->addRow(QString(), cbPersistSecurityInfo);
    edConnectionString = MakeNamed<QLineEdit>(this, "edConnectionString");
    AddRow(form, "Anslutnings&sträng", edConnectionString);
    lbProblem = MakeNamed<QLabel>(this, "lbProblem");
    lbProblem->setText(QStringLiteral("Anslutningssträngen kan inte tolkas."));
    lbProblem->hide();
    layout->addWidget(lbProblem);

    auto* buttons = new QHBoxLayout();
    layout->addLayout(buttons);
    btnTesta = MakeButton(this, "btnTesta", "&Testa anslutning");
    btnSpara = MakeButton(this, "btnSpara", "S&para");
    btnStang = MakeButton(this, "btnStang", "S&täng");
    buttons->addWidget(btnTesta);
    buttons->addStretch();
    buttons->addWidget(btnSpara);
    buttons->addWidget(btnStang);

    connect(cbProvider, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { fieldChanged("Provider", text); });
    connect(cbPersistSecurityInfo, &QCheckBox::toggled, this, &TfrmDataLinkEditor::persistChanged);
    connect(edConnectionString, &QLineEdit::textEdited, this, &TfrmDataLinkEditor::rawChanged);
    connect(btnTesta, &QPushButton::clicked, this, &TfrmDataLinkEditor::btnTestaClick);
    connect(btnSpara, &QPushButton::clicked, this, [this] { Save(); });
    connect(btnStang, &QPushButton::clicked, this, &QWidget::close);
    resize(460, sizeHint().height());
}

void TfrmDataLinkEditor::showInfo(const std::string& text, bool warning) {
    boxes_.show({warning ? platform::BoxKind::Warning : platform::BoxKind::Information, {}, text});
}

// The folder may be shared: a file planted there is shown as refused, never followed, waited on
// or read whole into memory.
void TfrmDataLinkEditor::Load() {
    const auto read = platform::ReadRegularFile(path_, kMaxDataLinkBytes);
    std::string text;
    if (!read.missing) {
        if (!read.refusal.empty()) {
            showInfo("Datalänken \"" + ReadableFileName(path_) + "\" öppnas inte: " + read.refusal +
                         ".\r\rDen skrivs inte över om du inte sparar.",
                     true);
            return;
        }
        const auto link = ReadDataLink(read.bytes);
        if (!link) {
            showInfo("Filen \"" + ReadableFileName(path_) +
                         "\" är ingen datalänkfil.\r\rDen skrivs inte över om du inte sparar.",
                     true);
            return;
        }
        text = *link;
    }
    edConnectionString->setText(QString::fromStdString(text));
    rawChanged(edConnectionString->text());
    setModified(false);
}

void TfrmDataLinkEditor::showFields() {
    syncing_ = true;
    cbProvider->setCurrentText(QString::fromStdString(connection_.value("Provider")));
    for (const auto& field : fields_) {
        field.edit->setText(QString::fromStdString(connection_.value(field.key)));
    }
    cbPersistSecurityInfo->setChecked(
        platform::SameConnectionStringKey(connection_.value(kPersist), "True"));
    syncing_ = false;
}

void TfrmDataLinkEditor::fieldChanged(const char* key, const QString& text) {
    if (syncing_) {
        return;
    }
    SetConnectionValue(connection_, key, text.toStdString());
    edConnectionString->setText(
        QString::fromStdString(platform::FormatConnectionString(connection_)));
    parsed_ = true;
    lbProblem->hide();
    setModified(true);
}

void TfrmDataLinkEditor::persistChanged(bool persist) {
    if (syncing_) {
        return;
    }
    // Unchecked leaves a string without the key as it was.
    const bool present = connection_.has(kPersist);
    if (persist || present) {
        fieldChanged(kPersist, persist ? QStringLiteral("True") : QStringLiteral("False"));
    }
}

void TfrmDataLinkEditor::rawChanged(const QString& text) {
    const auto parsed = platform::ParseConnectionString(text.toStdString());
    parsed_ = parsed.has_value();
    lbProblem->setVisible(!parsed_);
    if (parsed) {
        connection_ = *parsed;
        showFields();
    }
    setModified(true);
}

void TfrmDataLinkEditor::setModified(bool modified) {
    modified_ = modified;
    setWindowModified(modified);
}

bool TfrmDataLinkEditor::Save() {
    if (!parsed_) {
        showInfo("Anslutningssträngen kan inte tolkas och sparas inte.", true);
        return false;
    }
    const auto bytes = DataLinkBytes(platform::FormatConnectionString(connection_));
    if (!bytes) {
        showInfo("Anslutningssträngen innehåller tecken som en datalänk inte kan hålla.", true);
        return false;
    }
    // The file itself is replaced, a link with it; the link's target is never written.
    if (const auto problem = platform::ReplaceWithRegularFile(path_, *bytes); !problem.empty()) {
        showInfo("Datalänken \"" + ReadableFileName(path_) + "\" kunde inte sparas: " + problem +
                     ".",
                 true);
        return false;
    }
    setModified(false);
    return true;
}

void TfrmDataLinkEditor::btnTestaClick() {
    const auto problem = test_(edConnectionString->text().toStdString());
    if (problem.empty()) {
        showInfo("Anslutningen lyckades.", false);
    } else {
        showInfo("Anslutningen misslyckades.\r\r" + problem, true);
    }
}

void TfrmDataLinkEditor::closeEvent(QCloseEvent* event) {
    if (modified_) {
        const int answer = boxes_.show({platform::BoxKind::Confirmation,
                                        {},
                                        "Ändringarna i datalänken är inte sparade. Vill du spara "
                                        "dem?",
                                        platform::BoxButtons::YesNo,
                                        platform::kBoxYes});
        if (answer == platform::kBoxYes && !Save()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace vemlo
