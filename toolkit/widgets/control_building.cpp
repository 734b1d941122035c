#include "toolkit/widgets/control_building.h"

#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace vemlo {

QFont TahomaFont(int points) {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(points);
    return font;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = MakeNamed<QPushButton>(parent, name);
    button->setText(QString::fromUtf8(caption));
    button->setAutoDefault(false);
    return button;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const QRect& geometry, std::optional<QStyle::StandardPixmap> picture) {
    auto* button = MakeButton(parent, name, caption);
    button->setGeometry(geometry);
    if (picture) {
        button->setIcon(parent->style()->standardIcon(*picture));
    }
    return button;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* title, const QRect& geometry) {
    auto* group = Make<QGroupBox>(parent, name, geometry);
    group->setTitle(QString::fromUtf8(title));
    // Nested groups would otherwise be announced with the outer group's name.
    group->setAccessibleName(group->title());
    return group;
}

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = MakeNamed<QFrame>(parent, name);
    panel->setFrameShape(QFrame::StyledPanel);
    return panel;
}

void NameByLabel(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    control->setAccessibleName(label->text().remove(QLatin1Char('&')));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QPoint at,
                  QWidget* control) {
    auto* label = MakeCaptioned<QLabel>(parent, name, caption, QRect(at, QSize(200, 15)));
    label->adjustSize();
    NameByLabel(label, control);
    return label;
}

QComboBox* MakeList(QWidget* parent, const char* name, const QRect& geometry) {
    auto* list = Make<QComboBox>(parent, name, geometry);
    list->setEditable(false);
    list->setMaxVisibleItems(8);
    return list;
}

QTimeEdit* MakeTimePicker(QWidget* parent, const char* name, const QRect& geometry) {
    auto* picker = Make<QTimeEdit>(parent, name, geometry);
    picker->setDisplayFormat(QStringLiteral("HH:mm"));
    return picker;
}

QLineEdit* MakeDisplayEdit(QWidget* parent, const char* name, const QRect& geometry) {
    auto* edit = Make<QLineEdit>(parent, name, geometry);
    edit->setReadOnly(true);
    edit->setEnabled(false);
    return edit;
}

} // namespace vemlo
