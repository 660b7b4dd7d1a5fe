#pragma once

#include <Qt>

// Whether the skinned controls show where the focus is: the keyboard was used last (a key or a Tab into a
// control) rather than the mouse. A control that gets the focus some other way, as the first control of a
// window that just opened, follows it: a dialog opened with Space shows its focused button.
inline bool &FocusCuesShown()
{
    static bool shown = false;
    return shown;
}

// A control's cue once it gets the focus for `reason`, `shown` being its cue until then: a Tab or a shortcut
// shows it, a click hides it, any other way follows the last input.
inline bool FocusCueOnFocusIn(Qt::FocusReason reason, bool shown)
{
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        return FocusCuesShown() = true;
    if (reason == Qt::MouseFocusReason)
        return FocusCuesShown() = false;
    return shown || FocusCuesShown();
}
