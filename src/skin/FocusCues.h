#pragma once

// Whether the skinned controls show where the focus is: the keyboard was used last (a key or a Tab into a
// control) rather than the mouse. A control that gets the focus some other way, as the first control of a
// window that just opened, follows it: a dialog opened with Space shows its focused button.
inline bool &FocusCuesShown()
{
    static bool shown = false;
    return shown;
}
