#pragma once

class QWidget;

// Proves the administrator password before a change to the device: the empty password first, then what
// the Login dialog (administrator mode, over `owner`) gets typed. False when neither is accepted; the
// caller says so.
bool ProveAdminPassword(QWidget *owner);
