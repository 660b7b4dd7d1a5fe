#include "app/DriveTable.h"

#include "platform/NetworkDrives.h"
#include "platform/RemoteName.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/DriveLetters.h"
#include "services/VolumeList.h"
#include "skin/CSkinListCtrl.h"

#include <QComboBox>
#include <QString>

#include <cstdio>
#include <optional>
#include <vector>

DriveEntry g_DriveTable[kDriveCount] = {};

using namespace izuzez::platform;

void RefreshDriveTable()
{
    const NetworkDrives &drives = CurrentNetworkDrives();
    for (int row = 0; row < kDriveCount; ++row)
    {
        DriveEntry &entry = g_DriveTable[row];
        std::snprintf(entry.szLocalName, sizeof entry.szLocalName, "%c:", 'Z' - row);
        std::string remote;
        if (!drives.GetConnection(entry.szLocalName, remote))
        {
            CopyText(entry.szServer, "");
            CopyText(entry.szShare, "");
            continue;
        }
        // A remote name that does not split leaves the row as it was.
        std::string server;
        std::string share;
        if (SplitRemoteName(remote, server, share))
        {
            CopyText(entry.szServer, server);
            CopyText(entry.szShare, share);
        }
    }
}

void FillDriveLetterCombo(QComboBox *combo)
{
    if (combo == nullptr)
        return;
    combo->clear();
    int firstFree = -1;
    const NetworkDrives &drives = CurrentNetworkDrives();
    const izuzez::services::LetterHolders holders(drives);
    for (const std::string &letter : izuzez::services::OfferableLetters(drives))
    {
        // A letter remembered for a share that is not back shows that share, as a mapped one: taking it asks.
        if (const std::optional<std::string> remote = holders.HolderOf(letter))
        {
            combo->addItem(QString::fromStdString(letter + " " + *remote));
            continue;
        }
        combo->addItem(QString::fromStdString(letter));
        if (firstFree < 0)
            firstFree = combo->count() - 1;
    }
    combo->setCurrentIndex(firstFree);
}

void FillVolumeList(CSkinListCtrl *devices, CSkinListCtrl *volumes, int startRow, bool ignoreServerCase)
{
    if (devices == nullptr || volumes == nullptr)
        return;
    std::vector<izuzez::services::LetterShare> drives;
    for (const DriveEntry &entry : g_DriveTable)
        drives.push_back({FieldText(entry.szLocalName), FieldText(entry.szServer), FieldText(entry.szShare)});
    for (int row = qMax(0, startRow); row < devices->GetItemCount(); ++row)
    {
        if (!devices->topLevelItem(row)->isSelected())
            continue;
        volumes->DeleteAllItems();
        const std::string name = devices->GetItemText(row, 0).toStdString();
        const std::string ip = devices->GetItemText(row, 1).toStdString();
        int i = 0;
        for (const ShareNameEntry *share = g_ProtocolState.shareNameList.head; share != nullptr;
             share = share->next, ++i)
        {
            const std::string shareName = izuzez::services::ShareNameForDisplay(FieldText(share->name));
            volumes->InsertItem(i, QString());
            volumes->SetItemText(i, 0, QString::fromStdString(shareName));
            const std::string letter = izuzez::services::LetterOfShare(drives, name, ip, shareName, ignoreServerCase);
            if (!letter.empty())
                volumes->SetItemText(i, 1, QString::fromStdString(letter));
        }
    }
}
