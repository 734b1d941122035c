#pragma once

#include "platform/connection_string.h"

#include <QWidget>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class MessageBoxes;
}

namespace vemlo {

// "" when the connection string's database opened, else the reason it did not.
using ConnectionTest = std::function<std::string(const std::string& connectionString)>;

// The properties of one data link file: the common keys of its connection string and the string
// itself, kept in sync, a connection test, and saving in the file's canonical form. A file that is
// no data link file is shown empty and left as it is unless the user saves.
class TfrmDataLinkEditor : public QWidget {
    Q_OBJECT

public:
    TfrmDataLinkEditor(std::string path, platform::MessageBoxes& boxes, ConnectionTest test);
    ~TfrmDataLinkEditor() override;

    // Writes the file beside itself and renames it into place; false (after a box) when it could
    // not be written.
    bool Save();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct KeyField {
        const char* key;
        QLineEdit* edit;
    };

    void buildControls();
    void Load();
    void showInfo(const std::string& text, bool warning);
    void fieldChanged(const char* key, const QString& text);
    void persistChanged(bool persist);
    void rawChanged(const QString& text);
    void showFields();
    void setModified(bool modified);
    void btnTestaClick();

    std::string path_;
    platform::MessageBoxes& boxes_;
    ConnectionTest test_;
    platform::ConnectionString connection_;
    bool parsed_ = true;
    bool syncing_ = false;
    bool modified_ = false;

    QLabel* lbFile = nullptr;
    QComboBox* cbProvider = nullptr;
    std::vector<KeyField> fields_;
    QCheckBox* cbPersistSecurityInfo = nullptr;
    QLineEdit* edConnectionString = nullptr;
    QLabel* lbProblem = nullptr;
    QPushButton* btnTesta = nullptr;
    QPushButton* btnSpara = nullptr;
    QPushButton* btnStang = nullptr;
};

} // namespace vemlo
