#pragma once

class QWidget;

// Template controls keep their numeric control id and the group-start mark of the template
// as dynamic properties, so that dialogs find them by number and radio buttons find their group.
inline constexpr char kControlIdProperty[] = "controlId";
inline constexpr char kGroupStartProperty[] = "groupStart";

void SetDlgCtrlID(QWidget *control, int id);
// The control's id, or 0 when it has none.
int GetDlgCtrlID(const QWidget *control);
// The first descendant of dialog with that id, or nullptr.
QWidget *GetDlgItem(const QWidget *dialog, int id);

void SetDlgGroupStart(QWidget *control, bool groupStart);
bool IsDlgGroupStart(const QWidget *control);

// The next sibling of control in the same group, wrapping around at the group's end: a group
// runs from a control marked as group start up to (not including) the next one. Returns control
// itself when it is alone in its group, nullptr when it has no parent.
QWidget *GetNextDlgGroupItem(const QWidget *control);
