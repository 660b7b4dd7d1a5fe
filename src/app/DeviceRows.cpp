#include "app/DeviceRows.h"

#include "app/EmptyListVerdict.h"
#include "protocol/DeviceList.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/ProtocolState.h"
#include "services/OutsideNetwork.h"
#include "skin/CSkinListCtrl.h"

namespace
{

// Dark orange: readable on white and on the selection colour.
const QColor kOutsideColour(0xB0, 0x4A, 0x00);

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string OutsideNetworkOf(const DeviceRecord &record)
{
    const int i = record.interfaceIndex;
    if (i < 0 || i >= g_ProtocolState.interfaceCount)
        return {};
    const std::string local(FieldText(g_ProtocolState.interfaceAddress[i]));
    return izuzez::services::OutsideNetwork(std::string(FieldText(record.server_ip)), local, LocalPrefixLength(local));
}

// Model, MAC and firmware stay in hidden statics; the row's tooltip shows them with the answering interface,
// and a note when the device cannot be reached from it.
QString DeviceToolTip(const DeviceRecord &record, const std::string &outside)
{
    const int i = record.interfaceIndex;
    const QString via =
        (i >= 0 && i < kInterfaceLimit) ? Text(FieldText(g_ProtocolState.interfaceAddress[i])) : QString();
    const QString tip = QStringLiteral("Model: %1\nMAC: %2\nFirmware: %3\nFound via: %4")
                            .arg(Text(FieldText(record.server_MODEL)), Text(FieldText(record.server_mac)),
                                 Text(FieldText(record.server_SW_version)), via);
    return outside.empty() ? tip : tip + QStringLiteral("\n\n") + Text(izuzez::services::OutsideNetworkNote(outside));
}

QFont ListFont()
{
    // Height 13 as a cell height is an em of 11 pixels. The weight asked for is 100, but Tahoma has no
    // face that light and draws it regular; asking for Thin here would pick an extra-light face of
    // whatever font stands in for Tahoma and make the rows hard to read.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

void SetUpLists(CSkinListCtrl *devices, CSkinListCtrl *volumes)
{
    const struct
    {
        CSkinListCtrl *list;
        int index;
        const char *name;
        int width;
    } columns[] = {{devices, 0, "Name", 94},    {devices, 1, "IP", 81},           {devices, 2, "Netmask", 81},
                   {devices, 3, "Gateway", 81}, {volumes, 0, "Volume Name", 120}, {volumes, 1, "Location", 111}};
    for (CSkinListCtrl *list : {devices, volumes})
    {
        list->InitSkin();
        list->setFont(ListFont());
    }
    for (const auto &column : columns)
        column.list->InsertColumn(column.index, QString::fromLatin1(column.name), column.width);
    for (CSkinListCtrl *list : {devices, volumes})
    {
        QPalette palette = list->palette();
        palette.setColor(QPalette::Text, Qt::black);
        list->setPalette(palette);
    }
}

int FillDeviceRows(CSkinListCtrl *devices)
{
    int row = 0;
    for (const DeviceRecord *record = g_ProtocolState.deviceList.head; record != nullptr; record = record->next, ++row)
    {
        devices->InsertItem(row, Text(FieldText(record->server_name)));
        devices->SetItemText(row, 1, Text(FieldText(record->server_ip)));
        devices->SetItemText(row, 2, Text(FieldText(record->server_mask)));
        devices->SetItemText(row, 3, Text(FieldText(record->server_gateway)));
        QTreeWidgetItem *item = devices->topLevelItem(row);
        const std::string outside = OutsideNetworkOf(*record);
        const QString tip = DeviceToolTip(*record, outside);
        for (int column = 0; column < 4; ++column)
        {
            item->setToolTip(column, tip);
            if (!outside.empty())
                item->setForeground(column, kOutsideColour);
        }
    }
    ShowEmptyListText(devices, row == 0 ? QStringList{NoDeviceSentence()} : QStringList{});
    return row;
}
