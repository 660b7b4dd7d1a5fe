#include "app/DriveTable.h"

#include "platform/NetworkDrives.h"
#include "platform/RemoteName.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/DriveLetters.h"
#include "skin/CSkinListCtrl.h"

#include <QComboBox>
#include <QString>

#include <cstdio>
#include <optional>

DriveEntry g_DriveTable[kDriveCount] = {};

using namespace izuzez::platform;

void RefreshDriveTable()
{
    std::optional<std::string> remotes[kDriveCount];
    for (const izuzez::services::DriveRow &drive : izuzez::services::ConnectedDrives(CurrentNetworkDrives()))
        remotes['Z' - drive.letter[0]] = drive.remote;
    for (int row = 0; row < kDriveCount; ++row)
    {
        DriveEntry &entry = g_DriveTable[row];
        std::snprintf(entry.szLocalName, sizeof entry.szLocalName, "%c:", 'Z' - row);
        if (!remotes[row])
        {
            CopyText(entry.szServer, "");
            CopyText(entry.szShare, "");
            continue;
        }
        // A remote name that does not split leaves the row as it was.
        std::string server;
        std::string share;
        if (SplitRemoteName(*remotes[row], server, share))
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

std::string ShareNameForDisplay(std::string_view deviceName)
{
    // Texts on this side are UTF-8 throughout, so the conversion is a check: what does not decode is
    // replaced, and the result is cut to 255 bytes without splitting a character.
    QString text = QString::fromUtf8(deviceName.data(), static_cast<qsizetype>(deviceName.size()));
    QByteArray bytes = text.toUtf8();
    while (bytes.size() > 255)
    {
        text.chop(text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = text.toUtf8();
    }
    return bytes.toStdString();
}

void FillVolumeList(CSkinListCtrl *devices, CSkinListCtrl *volumes, int startRow, bool ignoreServerCase)
{
    if (devices == nullptr || volumes == nullptr)
        return;
    const Qt::CaseSensitivity serverCase = ignoreServerCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int row = qMax(0, startRow); row < devices->GetItemCount(); ++row)
    {
        if (!devices->topLevelItem(row)->isSelected())
            continue;
        volumes->DeleteAllItems();
        const QString name = devices->GetItemText(row, 0);
        const QString ip = devices->GetItemText(row, 1);
        int i = 0;
        for (const ShareNameEntry *share = g_ProtocolState.shareNameList.head; share != nullptr;
             share = share->next, ++i)
        {
            const QString shareName = QString::fromStdString(ShareNameForDisplay(FieldText(share->name)));
            volumes->InsertItem(i, QString());
            volumes->SetItemText(i, 0, shareName);
            for (const DriveEntry &entry : g_DriveTable)
            {
                const QString server = QString::fromUtf8(FieldText(entry.szServer));
                const bool sameServer = server.compare(name, serverCase) == 0 || server.compare(ip, serverCase) == 0;
                if (sameServer &&
                    shareName.compare(QString::fromUtf8(FieldText(entry.szShare)), Qt::CaseInsensitive) == 0)
                    volumes->SetItemText(i, 1, QString::fromUtf8(FieldText(entry.szLocalName)));
            }
        }
    }
}
