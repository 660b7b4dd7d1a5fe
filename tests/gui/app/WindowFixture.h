#pragma once

#include "AppTestSupport.h"

#include "app/CSearchUtilityDlg.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"

#include <QComboBox>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace apptest
{

// The real main window, with its controls by id and the clicks a person makes on them.
class WindowControls
{
protected:
    // Makes the main window and runs its first search.
    void OpenWindow();

    template <class T> T *Item(int id) const { return qobject_cast<T *>(GetDlgItem(m_dlg.get(), id)); }
    CSkinListCtrl *Devices() const { return Item<CSkinListCtrl>(1000); }
    CSkinListCtrl *Volumes() const { return Item<CSkinListCtrl>(1001); }
    QComboBox *Letters() const { return Item<QComboBox>(1013); }

    void Click(int id) { QTest::mouseClick(Item<CSkinButton>(id), Qt::LeftButton); }
    void ClickRow(CSkinListCtrl *list, int row);
    void ClickDevice(int row) { ClickRow(Devices(), row); }
    void ClickDevice(const QString &ip);
    // The device row with this IP, or -1.
    int RowOf(const QString &ip) const;
    std::vector<QString> Column(CSkinListCtrl *list, int column) const;
    // Chooses the drive letter whose entry starts with prefix.
    void ChooseLetter(const QString &prefix);

    std::unique_ptr<CSearchUtilityDlg> m_dlg;
};

// The window against the simulator on loopback. It ends before the fakes a fixture installs (Installed
// members of the fixture) are taken away.
class WindowFixture : public ::testing::Test, public WindowControls
{
protected:
    void TearDown() override;

    // Starts the simulator with these devices on loopback (in a network namespace of this process's own as
    // root) and opens the endpoints there.
    void StartOnLoopback(const char *devices);

    Simulator m_simulator;
};

} // namespace apptest
