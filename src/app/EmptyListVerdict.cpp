#include "app/EmptyListVerdict.h"

#include "app/ExchangeWait.h"
#include "protocol/DeviceList.h"
#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/ProtocolState.h"
#include "services/Diagnosis.h"
#include "services/DoctorFacts.h"
#include "skin/CSkinListCtrl.h"

#include <QLabel>

#include <string>
#include <vector>

namespace
{

constexpr int kMargin = 4;

// The doctor empties the device list; the window's rows still stand for these records.
std::vector<DeviceRecord> KeepDevices()
{
    std::vector<DeviceRecord> kept;
    for (const DeviceRecord *record = g_ProtocolState.deviceList.head; record != nullptr; record = record->next)
        kept.push_back(*record);
    return kept;
}

void RestoreDevices(const std::vector<DeviceRecord> &kept)
{
    FreeDeviceList();
    DeviceList &list = g_ProtocolState.deviceList;
    for (const DeviceRecord &record : kept)
    {
        DeviceRecord *copy = NewDeviceRecord();
        if (copy == nullptr)
            return;
        *copy = record;
        copy->next = nullptr;
        (list.tail != nullptr ? list.tail->next : list.head) = copy;
        list.tail = copy;
        ++list.count;
    }
}

} // namespace

void ShowEmptyListText(CSkinListCtrl *devices, const QStringList &sentences)
{
    auto *line = devices->viewport()->findChild<QLabel *>(QStringLiteral("NoDeviceLine"));
    devices->setAccessibleDescription(sentences.join(QLatin1Char(' ')));
    // A verdict longer than the list is tall can still be read whole.
    devices->setToolTip(sentences.join(QLatin1Char('\n')));
    if (sentences.isEmpty())
    {
        if (line)
            line->hide();
        return;
    }
    if (!line)
    {
        line = new QLabel(devices->viewport());
        line->setObjectName(QStringLiteral("NoDeviceLine"));
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->setWordWrap(true);
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        line->setFont(devices->font());
        line->setStyleSheet(QStringLiteral("color: #808080; background: transparent;"));
    }
    line->setText(sentences.join(QLatin1Char('\n')));
    const int width = devices->viewport()->width() - 2 * kMargin;
    line->setGeometry(kMargin, 2, width, line->heightForWidth(width));
    line->show();
}

QString NoDeviceSentence()
{
    const int count = g_ProtocolState.interfaceCount;
    return count == 1 ? QStringLiteral("No device answered on 1 interface.")
                      : QStringLiteral("No device answered on %1 interfaces.").arg(count);
}

izuzez::services::DoctorFacts GatherWindowFacts()
{
    izuzez::services::DoctorFacts facts;
    RunWithoutInput(
        [&facts]
        {
            const bool wasOpen = g_ProtocolState.endpointsOpen;
            const std::vector<DeviceRecord> kept = KeepDevices();
            // The firewall tools need root, which the window does not have; the verdict says how to check it.
            const izuzez::services::DoctorRequest request{InterfaceFilter(), false};
            facts = izuzez::services::GatherDoctorFacts(request);
            if (wasOpen)
                OpenEndpoints();
            RestoreDevices(kept);
        });
    return facts;
}

QStringList GatherVerdict()
{
    QStringList sentences;
    for (const std::string &sentence : izuzez::services::Diagnose(GatherWindowFacts()))
        sentences.append(QString::fromStdString(sentence));
    return sentences;
}

void ShowEmptyListVerdict(CSkinListCtrl *devices)
{
    QStringList verdict = GatherVerdict();
    // The doctor's count of interfaces comes first in its own words; the window's stays.
    if (!verdict.isEmpty() && verdict.front().startsWith(QStringLiteral("No device answered on ")))
        verdict.removeFirst();
    verdict.prepend(NoDeviceSentence());
    ShowEmptyListText(devices, verdict);
}
