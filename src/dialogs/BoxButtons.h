#pragma once

#include <QList>

#include <optional>

namespace sorvane {

// The buttons a message box type shows and how the box answers without a
// button. The low four bits of the type pick the button set, bits 8..11 the
// default button.
struct BoxButtons {
    // Button codes (BoxResult) from first to last, in the order shown.
    QList<int> codes;
    // The answer when the box is closed by its close button or Escape:
    // Cancel where the box has one, OK for a lone OK button, and none for
    // Yes/No and Abort/Retry/Ignore, which cannot be closed without a choice.
    std::optional<int> closeCode;
    // Index into codes of the default button; the first when the type asks
    // for one past the last.
    int defaultIndex = 0;

    // Button sets the platform does not know show a single OK button.
    static BoxButtons ofType(int type);
};

} // namespace sorvane
