#include "app/TRadioGroup.h"

#include <QRadioButton>

namespace {
constexpr int kItemHeight = 19;
constexpr int kFirstItemTop = 20;
} // namespace

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    int top = kFirstItemTop;
    for (const auto& text : items) {
        auto* button = new QRadioButton(text, this);
        button->move(10, top);
        button->resize(210, kItemHeight);
        top += kItemHeight;
        buttons_.push_back(button);
    }
}

int TRadioGroup::itemIndex() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The items stay exclusive, so that they are radio buttons to a screen reader as well; only
// while none is to be selected do they let the selected one go.
void TRadioGroup::setItemIndex(int index) {
    for (auto* button : buttons_) {
        button->setAutoExclusive(false);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setChecked(static_cast<int>(i) == index);
    }
    for (auto* button : buttons_) {
        button->setAutoExclusive(true);
    }
}
