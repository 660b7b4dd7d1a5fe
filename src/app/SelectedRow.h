#pragma once

class CSkinListCtrl;

// The first selected row at or below the list's top index, or -1 (also for no list).
int FirstSelectedRow(const CSkinListCtrl *list);
