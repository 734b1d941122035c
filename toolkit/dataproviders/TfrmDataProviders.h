#pragma once

#include "toolkit/dataproviders/data_provider_selection.h"

#include <QDialog>
#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QModelIndex;
class QPainter;
class QPushButton;
class QStyleOptionViewItem;

namespace vemlo {

// The data link files of g_DataLinksPath: choose one, make one the default, add, edit, delete.
class TfrmDataProviders : public QDialog {
    Q_OBJECT

public:
    explicit TfrmDataProviders(QWidget* parent = nullptr);
    ~TfrmDataProviders() override;

    // The value name of the default-provider setting in the section "DataProvider".
    std::string IniTextPosision;

    // The selected entry's file name as the file system gives it; "" when none is selected.
    std::string SelectedEntry() const;
    // Paints one entry: the stored default green, the selection on silver.
    void ListBox1DrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void FormActivate();
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void ListBox1DblClick();
    void FillProviderList(const std::string& name);
    // The shared precondition of the buttons that work on the selected entry.
    bool EntrySelected();
    // The same for the buttons that store the entry's name, which must then be UTF-8.
    bool StorableEntrySelected();
    std::string FileNameOf(int row) const;
    std::string StoredDefaultName() const;

    bool activated = false;
    bool cameBack = false;

    QGroupBox* GroupBox1 = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

// Runs the dialog modally: the selected entry's text when confirmed, else the file-name part of
// g_DefaultDataProvider.
std::string SelectDataProvider(const std::string& valueName);

// The selection through the dialog, for the program to hand in.
class DialogDataProviderSelection final : public DataProviderSelection {
public:
    std::string SelectDataProvider(const std::string& valueName) override {
        return vemlo::SelectDataProvider(valueName);
    }
};

} // namespace vemlo
