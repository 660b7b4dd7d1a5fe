#include "GalleryContent.h"

#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinListCtrl.h"
#include "skin/CSkinProgressCtrl.h"
#include "skin/DialogTemplateBuilder.h"
#include "skin/SkinFont.h"

#include <QComboBox>
#include <QFont>
#include <QLineEdit>

namespace izuzez::gallery
{

namespace
{

void fillMainWindow(DialogTemplateBuilder &form)
{
    // The main window's list font has a cell height of 13 pixels (a positive LOGFONT height).
    const QFont listFont = FontForCellHeight(QStringLiteral("Tahoma"), 13);
    if (auto *devices = form.control<CSkinListCtrl>(1000))
    {
        devices->setFont(listFont);
        devices->InsertColumn(0, QStringLiteral("Name"), 94);
        devices->InsertColumn(1, QStringLiteral("IP"), 81);
        devices->InsertColumn(2, QStringLiteral("Netmask"), 81);
        devices->InsertColumn(3, QStringLiteral("Gateway"), 81);
        const char *rows[][4] = {
            {"QB-Office", "192.168.1.20", "255.255.255.0", "192.168.1.1"},
            {"QB-Backup", "192.168.1.34", "255.255.255.0", "192.168.1.1"},
            {"Recorder-Hall", "192.168.1.51", "255.255.255.0", "0.0.0.0"},
        };
        for (int r = 0; r < 3; ++r)
        {
            devices->InsertItem(r, QString::fromLatin1(rows[r][0]));
            for (int c = 1; c < 4; ++c)
                devices->SetItemText(r, c, QString::fromLatin1(rows[r][c]));
        }
        devices->setCurrentItem(devices->topLevelItem(0));
        devices->InitSkin();
    }
    if (auto *volumes = form.control<CSkinListCtrl>(1001))
    {
        volumes->setFont(listFont);
        volumes->InsertColumn(0, QStringLiteral("Volume Name"), 120);
        volumes->InsertColumn(1, QStringLiteral("Location"), 111);
        volumes->InsertItem(0, QStringLiteral("HDD_a"));
        volumes->SetItemText(0, 1, QStringLiteral("Z:"));
        volumes->InsertItem(1, QStringLiteral("Public"));
        volumes->InitSkin();
    }
    const char *addresses[][2] = {{"1006", "192.168.1.20"}, {"1010", "255.255.255.0"}, {"1011", "192.168.1.1"}};
    for (const auto &address : addresses)
    {
        if (auto *field = form.control<CIpAddressCtrl>(QString::fromLatin1(address[0]).toInt()))
            field->setText(QString::fromLatin1(address[1]));
    }
    if (auto *dhcp = form.control<QComboBox>(1015))
        dhcp->setCurrentIndex(0);
    if (auto *letters = form.control<QComboBox>(1013))
    {
        for (char letter = 'E'; letter <= 'Y'; ++letter)
            letters->addItem(QStringLiteral("%1:").arg(QLatin1Char(letter)));
        letters->addItem(QStringLiteral("Z:  \\\\192.168.1.20\\HDD_a"));
        letters->setCurrentIndex(0);
    }
}

} // namespace

void FillSampleContent(int templateNumber, DialogTemplateBuilder &form)
{
    switch (templateNumber)
    {
    case 102:
        fillMainWindow(form);
        break;
    case 134:
        if (auto *user = form.control<QLineEdit>(1016))
        {
            user->setText(QStringLiteral("admin"));
            user->setEnabled(false);
        }
        if (auto *password = form.control<QLineEdit>(1017))
            password->setText(QStringLiteral("secret"));
        break;
    case 139:
        if (auto *language = form.control<QComboBox>(1022))
            language->setCurrentIndex(2);
        break;
    case 141:
        if (auto *progress = form.control<CSkinProgressCtrl>(1023))
            progress->setValue(40);
        break;
    default:
        break;
    }
}

} // namespace izuzez::gallery
