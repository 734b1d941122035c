#pragma once

#include <QWidget>

// The toolkit's hidden top-level window. It is never shown, but its platform window exists from
// creation on, so that notifications addressed to the program reach it.
class TfrmVemloTools : public QWidget {
    Q_OBJECT

public:
    TfrmVemloTools();
};
