#include "WindowFixture.h"

namespace apptest
{

void WindowFixture::TearDown()
{
    m_dlg.reset();
}

void WindowFixture::StartOnLoopback(const char *devices)
{
    IsolateLoopback();
    std::string problem;
    ASSERT_TRUE(m_simulator.Start(devices, problem)) << problem;
    OpenLoopbackEndpoints();
}

void WindowControls::OpenWindow()
{
    m_dlg = std::make_unique<CSearchUtilityDlg>();
    m_dlg->OnInitDialog();
}

void WindowControls::ClickRow(CSkinListCtrl *list, int row)
{
    QTreeWidgetItem *item = list->topLevelItem(row);
    ASSERT_NE(item, nullptr) << "row " << row;
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void WindowControls::ClickDevice(const QString &ip)
{
    const int row = RowOf(ip);
    ASSERT_GE(row, 0) << "no row for " << ip.toStdString();
    ClickRow(Devices(), row);
}

int WindowControls::RowOf(const QString &ip) const
{
    for (int row = 0; row < Devices()->GetItemCount(); ++row)
        if (Devices()->GetItemText(row, 1) == ip)
            return row;
    return -1;
}

std::vector<QString> WindowControls::Column(CSkinListCtrl *list, int column) const
{
    std::vector<QString> texts;
    for (int row = 0; row < list->GetItemCount(); ++row)
        texts.push_back(list->GetItemText(row, column));
    return texts;
}

void WindowControls::ChooseLetter(const QString &prefix)
{
    for (int i = 0; i < Letters()->count(); ++i)
        if (Letters()->itemText(i).startsWith(prefix))
            Letters()->setCurrentIndex(i);
}

} // namespace apptest
