#include "toolkit/dataproviders/TfrmDataProviders.h"

#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/shell_opener.h"
#include "platform/store_text.h"
#include "toolkit/dataproviders/data_provider_names.h"
#include "toolkit/dataproviders/readable_file_name.h"
#include "toolkit/dialogs/message_routines.h"
#include "toolkit/settings/environment.h"
#include "toolkit/settings/shared_settings.h"
#include "toolkit/toolkit_platform.h"
#include "toolkit/widgets/control_building.h"
#include "toolkit/widgets/handler_guard.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <optional>
#include <stdexcept>

namespace vemlo {

namespace {

constexpr int kItemHeight = 17;

// The entry's file name as the file system gave it, kept beside its shown text.
constexpr int kFileNameRole = Qt::UserRole;

bool IsUtf8(const std::string& name) {
    return platform::Utf16Units(name).has_value();
}

// The entry's file name as the store could hold it; nothing for a name that is no UTF-8, which
// is never the stored default, however alike the two look on screen.
std::optional<QString> StorableName(const QVariant& fileName) {
    const auto name = fileName.toByteArray().toStdString();
    return IsUtf8(name) ? std::optional(QString::fromStdString(name)) : std::nullopt;
}

// Hands the painting of each entry to the dialog.
class ListBox1Painter final : public QStyledItemDelegate {
public:
    explicit ListBox1Painter(const TfrmDataProviders* form)
        : QStyledItemDelegate(const_cast<TfrmDataProviders*>(form))
        , form_(form) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        form_->ListBox1DrawItem(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
    }

private:
    const TfrmDataProviders* form_;
};

} // namespace

TfrmDataProviders::TfrmDataProviders(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmDataProviders"));
    setWindowTitle(QStringLiteral("DataProviders"));
    setFont(TahomaFont(8));
    setFixedSize(209, 250);
    buildControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        // Coming back from another program (the editor, say) activates the dialog anew.
        if (s != Qt::ApplicationActive) {
            cameBack = true;
        }
    });
}

TfrmDataProviders::~TfrmDataProviders() = default;

void TfrmDataProviders::buildControls() {
    GroupBox1 = Make<QGroupBox>(this, "GroupBox1", QRect(0, 0, 209, 212));
    GroupBox1->setTitle(QStringLiteral("DataProviders"));
    Panel2 = Make<QFrame>(GroupBox1, "Panel2", QRect(2, 15, 205, 64));
    BitBtn4 = MakeButton(Panel2, "BitBtn4", "Lägg till...", QRect(5, 4, 97, 25),
                         QStyle::SP_FileDialogNewFolder);
    BitBtn5 = MakeButton(Panel2, "BitBtn5", "Redigera...", QRect(107, 4, 93, 25),
                         QStyle::SP_FileDialogDetailedView);
    BitBtn3 = MakeButton(Panel2, "BitBtn3", "Välj som standard", QRect(5, 33, 97, 25), {});
    BitBtn6 = MakeButton(Panel2, "BitBtn6", "Radera", QRect(107, 33, 93, 25), QStyle::SP_TrashIcon);

    ListBox1 = Make<QListWidget>(GroupBox1, "ListBox1", QRect(2, 97, 205, 113));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setSortingEnabled(false);
    ListBox1->setUniformItemSizes(true);
    auto listFont = TahomaFont(10);
    // Plain pixels in the entry's colour, as the list's own canvas draws them.
    listFont.setStyleStrategy(QFont::NoAntialias);
    ListBox1->setFont(listFont);
    ListBox1->setItemDelegate(new ListBox1Painter(this));
    Label1 = MakeCaptioned<QLabel>(GroupBox1, "Label1", "Befintliga DataProviders",
                                   QRect(8, 81, 190, 14));
    NameByLabel(Label1, ListBox1);

    Panel1 = Make<QFrame>(this, "Panel1", QRect(0, 212, 209, 38));
    BitBtn1 = MakeButton(Panel1, "BitBtn1", "OK", QRect(54, 6, 75, 25), QStyle::SP_DialogOkButton);
    BitBtn1->setDefault(true);
    BitBtn2 = MakeButton(Panel1, "BitBtn2", "Avbryt", QRect(128, 6, 75, 25),
                         QStyle::SP_DialogCancelButton);

    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BitBtn5);
    setTabOrder(BitBtn5, BitBtn6);
    setTabOrder(BitBtn6, ListBox1);

    ConnectGuarded(BitBtn1, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn1Click);
    ConnectGuarded(BitBtn3, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn3Click);
    ConnectGuarded(BitBtn4, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn4Click);
    ConnectGuarded(BitBtn5, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn5Click);
    ConnectGuarded(BitBtn6, &QPushButton::clicked, this, &TfrmDataProviders::BitBtn6Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    ConnectGuarded(ListBox1, &QListWidget::itemDoubleClicked, this,
                   &TfrmDataProviders::ListBox1DblClick);
}

void TfrmDataProviders::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated) {
        activated = true;
        RunGuarded([this] { FormActivate(); });
    }
}

bool TfrmDataProviders::event(QEvent* event) {
    // Boxes of the dialog's own give the activation back without anything having changed.
    if (event->type() == QEvent::WindowActivate && cameBack) {
        cameBack = false;
        RunGuarded([this] { FormActivate(); });
    }
    return QDialog::event(event);
}

std::string TfrmDataProviders::StoredDefaultName() const {
    return FileNamePart(ReadSharedSetting("DataProvider", IniTextPosision));
}

// Coming back from the editor keeps the entry the user selected, added or edited while it is
// still there; the stored default is selected only when there is none.
void TfrmDataProviders::FormActivate() {
    const auto kept = SelectedEntry();
    FillProviderList(StoredDefaultName());
    for (int i = 0; !kept.empty() && i < ListBox1->count(); ++i) {
        if (FileNameOf(i) == kept) {
            ListBox1->setCurrentRow(i);
        }
    }
}

void TfrmDataProviders::FillProviderList(const std::string& name) {
    ListBox1->clear();
    for (const auto& entry : FileSystem().listNames(g_DataLinksPath, "*.udl")) {
        auto* item = new QListWidgetItem(QString::fromStdString(ReadableFileName(entry)), ListBox1);
        item->setData(kFileNameRole, QByteArray::fromStdString(entry));
    }
    const auto wanted = QString::fromStdString(name);
    for (int i = 0; i < ListBox1->count(); ++i) {
        const auto entry = StorableName(ListBox1->item(i)->data(kFileNameRole));
        if (entry && entry->compare(wanted, Qt::CaseInsensitive) == 0) {
            ListBox1->setCurrentRow(i);
            return;
        }
    }
    ListBox1->setCurrentRow(-1);
}

std::string TfrmDataProviders::FileNameOf(int row) const {
    return ListBox1->item(row)->data(kFileNameRole).toByteArray().toStdString();
}

std::string TfrmDataProviders::SelectedEntry() const {
    const auto* item = ListBox1->currentItem();
    return item && item->isSelected() ? FileNameOf(ListBox1->row(item)) : std::string();
}

void TfrmDataProviders::ListBox1DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    const auto text = index.data(Qt::DisplayRole).toString();
    const bool selected = option.state & QStyle::State_Selected;
    QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const auto entry = StorableName(index.data(kFileNameRole));
    if (entry && entry->toUpper() == QString::fromStdString(StoredDefaultName()).toUpper()) {
        colour = QColor(0, 128, 0);
    }
    painter->save();
    painter->fillRect(option.rect, selected ? QColor(192, 192, 192) : QColor(Qt::white));
    painter->setFont(ListBox1->font());
    painter->setPen(colour);
    painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    painter->restore();
}

bool TfrmDataProviders::EntrySelected() {
    if (!SelectedEntry().empty()) {
        return true;
    }
    ShowInfoMessage("Välj en DataProvider först!");
    ListBox1->setFocus();
    return false;
}

// The store holds UTF-8 only: another name would be stored as some other file's.
bool TfrmDataProviders::StorableEntrySelected() {
    if (!EntrySelected()) {
        return false;
    }
    if (IsUtf8(SelectedEntry())) {
        return true;
    }
    ShowInfoMessage("Filnamnet \"" + ReadableFileName(SelectedEntry()) +
                    "\" innehåller tecken som inte kan sparas. Byt namn på filen och välj den "
                    "sedan igen.");
    ListBox1->setFocus();
    return false;
}

void TfrmDataProviders::BitBtn1Click() {
    if (StorableEntrySelected()) {
        accept();
    }
}

void TfrmDataProviders::BitBtn3Click() {
    if (StorableEntrySelected()) {
        WriteSharedSetting("DataProvider", IniTextPosision, SelectedEntry());
        ListBox1->viewport()->update();
    }
}

void TfrmDataProviders::BitBtn4Click() {
    const auto name = MessageBoxes().prompt(
        {TranslateText("Ny DataProvider"), TranslateText("DataProviderns namn:"), ""});
    if (!name) {
        return;
    }
    // A name reaching into another folder would create a file outside the data links folder.
    if (!IsDataLinkName(*name)) {
        ShowInfoMessage("Namnet på en DataProvider får inte innehålla \"/\".");
        return;
    }
    auto& files = FileSystem();
    files.createFolders(g_DataLinksPath);
    const auto path = g_DataLinksPath + *name + ".udl";
    // An existing file of that name is opened as it is, never emptied.
    if (const auto error = files.createEmptyFile(path)) {
        throw std::runtime_error("Cannot create file \"" + path + "\". " + error.message());
    }
    ShellOpener().open(path, g_DataLinksPath);
    FillProviderList(*name + ".udl");
}

void TfrmDataProviders::BitBtn5Click() {
    if (EntrySelected()) {
        ShellOpener().open(g_DataLinksPath + SelectedEntry(), g_DataLinksPath);
    }
}

void TfrmDataProviders::BitBtn6Click() {
    if (!EntrySelected()) {
        return;
    }
    const auto entry = SelectedEntry();
    if (AskYesNo(TranslateText("Radera DataProvider-filen") + " " + ReadableFileName(entry)) ==
        platform::kBoxYes) {
        FileSystem().deleteFile(g_DataLinksPath + entry);
        FillProviderList("");
    }
}

void TfrmDataProviders::ListBox1DblClick() {
    BitBtn5Click();
}

std::string SelectDataProvider(const std::string& valueName) {
    auto result = FileNamePart(g_DefaultDataProvider);
    TfrmDataProviders dialog;
    dialog.IniTextPosision = valueName;
    if (dialog.exec() == QDialog::Accepted) {
        result = dialog.SelectedEntry();
    }
    return result;
}

} // namespace vemlo
