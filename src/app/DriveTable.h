#pragma once

class QComboBox;
class CSkinListCtrl;

// One drive letter and the network share it is connected to (both texts empty when none).
struct DriveEntry
{
    char szServer[256];
    char szShare[256];
    char szLocalName[8];
};

// Rows in the order Z:, Y:, ... A:.
inline constexpr int kDriveCount = 26;
extern DriveEntry g_DriveTable[kDriveCount];

// Rereads all 26 letters from the drive-letter layer.
void RefreshDriveTable();

// Lists the letters a share can go to, mapped and remembered ones with their share, and selects the free one
// nearest Z.
void FillDriveLetterCombo(QComboBox *combo);

// Refills the volume list from the share names of the selected device row (searched from startRow),
// with the letter each share is mapped to. Server names compare exactly or ignoring case.
void FillVolumeList(CSkinListCtrl *devices, CSkinListCtrl *volumes, int startRow, bool ignoreServerCase);
