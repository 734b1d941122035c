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
        button->setAutoExclusive(false);
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

void TRadioGroup::setItemIndex(int index) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setChecked(static_cast<int>(i) == index);
    }
}
