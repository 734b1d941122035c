#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

// A titled group of radio buttons, one item selected or none (-1).
class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent);

    int itemIndex() const;
    // Any index outside the items selects none.
    void setItemIndex(int index);
    int count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* item(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

private:
    std::vector<QRadioButton*> buttons_;
};
