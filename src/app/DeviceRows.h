#pragma once

class CSkinListCtrl;

// The skin, font, columns and black text of the device and volume lists.
void SetUpLists(CSkinListCtrl *devices, CSkinListCtrl *volumes);

// One row per device of the last search, with its details in the tooltip and, for an address outside the
// answering interface's network, in orange. The grey no-device line over an empty list says on how many
// interfaces the search asked (EmptyListVerdict.h). Returns the number of rows.
int FillDeviceRows(CSkinListCtrl *devices);
