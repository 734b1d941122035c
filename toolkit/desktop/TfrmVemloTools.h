#pragma once

#include <QWidget>
#include <cstdint>

// The toolkit's hidden top-level window. It is never shown, but its platform window exists from
// creation on, so that notifications addressed to the program reach it.
class TfrmVemloTools : public QWidget {
    Q_OBJECT

public:
    TfrmVemloTools();

    // The power notification with its event code: the application's database connections are
    // closed at a suspend and reopened after the resume.
    void WMPowerBroadcast(std::uint64_t wParam);
};
