#include "app/DeviceListMenu.h"

#include "app/EmptyListVerdict.h"
#include "services/Diagnosis.h"
#include "services/DoctorReport.h"
#include "skin/CSkinListCtrl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>

void AddDeviceListMenu(CSkinListCtrl *devices)
{
    if (devices == nullptr)
        return;
    auto *menu = new QMenu(devices);
    menu->setAccessibleName(QStringLiteral("Device list"));
    QObject::connect(menu->addAction(QStringLiteral("Copy diagnosis")), &QAction::triggered, menu,
                     []
                     {
                         const izuzez::services::DoctorFacts facts = GatherWindowFacts();
                         const std::string report =
                             izuzez::services::DoctorText(facts, izuzez::services::Diagnose(facts));
                         QGuiApplication::clipboard()->setText(QString::fromStdString(report));
                     });
    // The position is the viewport's, for a click as for the Menu key.
    const auto open = [devices, menu](const QPoint &at) { menu->popup(devices->viewport()->mapToGlobal(at)); };
    devices->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(devices, &QWidget::customContextMenuRequested, menu, open);
    // Shift+F10 is the other keyboard way to a context menu; it opens at the current row.
    auto *shiftF10 =
        new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), devices, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(shiftF10, &QShortcut::activated, menu,
                     [devices, open] { open(devices->visualRect(devices->currentIndex()).center()); });
}
