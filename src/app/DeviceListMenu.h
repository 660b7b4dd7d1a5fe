#pragma once

class CSkinListCtrl;

// The device list's context menu (right click, the Menu key, Shift+F10). Its one entry, "Copy diagnosis",
// puts the doctor's whole report on the clipboard, for a person whose device is not found to hand on.
// A null list gets nothing.
void AddDeviceListMenu(CSkinListCtrl *devices);
