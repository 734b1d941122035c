#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStyle>
#include <QWidget>
#include <optional>

class QComboBox;
class QFont;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// How the forms build their controls: every control named, for the tests and for scripts that
// drive the forms, and every field named for screen readers by the label or group that shows it.
namespace vemlo {

// The forms' font, Tahoma where it is installed, at the given size.
QFont TahomaFont(int points);

// A control with its object name, for a layout to place.
template <typename Control> Control* MakeNamed(QWidget* parent, const char* name) {
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(name));
    return control;
}

// A control with its object name, placed by hand.
template <typename Control>
Control* Make(QWidget* parent, const char* name, const QRect& geometry) {
    auto* control = MakeNamed<Control>(parent, name);
    control->setGeometry(geometry);
    return control;
}

// The same, showing a caption.
template <typename Control>
Control* MakeCaptioned(QWidget* parent, const char* name, const char* caption,
                       const QRect& geometry) {
    auto* control = Make<Control>(parent, name, geometry);
    control->setText(QString::fromUtf8(caption));
    return control;
}

// A push button that Enter pressed elsewhere in its dialog does not click: for a layout to place,
// or placed by hand with a standard picture.
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption);
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const QRect& geometry, std::optional<QStyle::StandardPixmap> picture);

// A group box that screen readers announce by its own title.
QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* title, const QRect& geometry);

// A framed panel for a layout to place.
QFrame* MakePanel(QWidget* parent, const char* name);

// The label shows the control's name: it takes the focus to the control by its mnemonic and names
// it for screen readers, without the mnemonic's marker.
void NameByLabel(QLabel* label, QWidget* control);

// A label at the point, as wide as its caption, that names the control.
QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, QPoint at,
                  QWidget* control);

// A drop-down list to choose from, eight entries shown at a time.
QComboBox* MakeList(QWidget* parent, const char* name, const QRect& geometry);

// A time of day, in hours and minutes.
QTimeEdit* MakeTimePicker(QWidget* parent, const char* name, const QRect& geometry);

// A field that only shows a value.
QLineEdit* MakeDisplayEdit(QWidget* parent, const char* name, const QRect& geometry);

} // namespace vemlo
