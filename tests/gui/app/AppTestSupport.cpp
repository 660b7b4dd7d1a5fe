#include "AppTestSupport.h"

#include "app/CAboutDlg.h"
#include "app/CDriveLetterUsedDlg.h"
#include "app/CLoginDlg.h"
#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/ProtocolState.h"
#include "skin/CSkinButton.h"
#include "support/Process.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include <sched.h>
#include <unistd.h>

namespace apptest
{

using namespace std::chrono_literals;

void IsolateLoopback()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0)
        return;
    // The child inherits the new namespace.
    izuzez::test::RunProgram({"ip", "link", "set", "lo", "up"}, 5s);
}

Simulator::Simulator() = default;

Simulator::~Simulator()
{
    Stop();
}

bool Simulator::Start(const std::string &configJson, std::string &problem)
{
    Stop();
    m_dir = std::make_unique<izuzez::test::TempDir>();
    const std::string config = m_dir->file("devices.json");
    izuzez::test::WriteFile(config, configJson);
    m_process = std::make_unique<izuzez::test::Background>(
        std::vector<std::string>{izuzez::test::BinDir() + "/izuzez-devsim", "--config", config, "--log",
                                 m_dir->file("devsim.log")},
        m_dir->file("out"), m_dir->file("err"));
    for (int i = 0; i < 500 && m_process->running(); ++i)
    {
        if (Log().find("\nready ") != std::string::npos || Log().rfind("ready ", 0) == 0)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    problem = "simulator did not come up: " + Log() + izuzez::test::ReadFile(m_dir->file("err"));
    return false;
}

void Simulator::Stop()
{
    if (m_process)
        m_process->Stop();
    m_process.reset();
}

std::string Simulator::Log() const
{
    return m_dir ? izuzez::test::ReadFile(m_dir->file("devsim.log")) : std::string();
}

std::vector<std::string> Simulator::Requests(int op, int sub) const
{
    std::vector<std::string> found;
    std::istringstream lines(Log());
    std::string line;
    const std::string opField = " op=" + std::to_string(op) + " ";
    const std::string subField = " sub=" + std::to_string(sub) + " ";
    while (std::getline(lines, line))
    {
        if (line.rfind("recv ", 0) != 0 || line.find(opField) == std::string::npos)
            continue;
        if (sub >= 0 && line.find(subField) == std::string::npos)
            continue;
        found.push_back(line);
    }
    return found;
}

void OpenLoopbackEndpoints()
{
    if (g_ProtocolState.endpointsOpen)
        return;
    SetInterfaceFilter({"127.0.0.1"});
    OpenEndpoints();
}

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::Poll);
    m_timer.start();
}

QStringList ModalAnswerer::Texts() const
{
    QStringList texts;
    for (const ShownBox &box : boxes)
        texts.append(box.text);
    return texts;
}

int ModalAnswerer::Shown(const char *className) const
{
    return static_cast<int>(std::count(shown.begin(), shown.end(), QLatin1String(className)));
}

void ModalAnswerer::Poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal == m_acting)
        return;
    if (RunAction(modal))
        return;
    if (auto *box = qobject_cast<QMessageBox *>(modal))
    {
        boxes.push_back({box->windowTitle(), box->text(), box->icon()});
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            box->done(0);
        return;
    }
    if (auto *about = qobject_cast<CAboutDlg *>(modal))
    {
        shown.push_back(QStringLiteral("CAboutDlg"));
        QTest::mouseClick(about->OkButton(), Qt::LeftButton);
    }
    else if (auto *used = qobject_cast<CDriveLetterUsedDlg *>(modal))
    {
        shown.push_back(QStringLiteral("CDriveLetterUsedDlg"));
        QTest::mouseClick(reuseOk ? used->OkButton() : used->CancelButton(), Qt::LeftButton);
    }
    else if (qobject_cast<CLoginDlg *>(modal) != nullptr)
    {
        AnswerLogin(modal);
    }
}

bool ModalAnswerer::RunAction(QWidget *modal)
{
    const QString name = QString::fromLatin1(modal->metaObject()->className());
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it)
    {
        if (name != QLatin1String(it->first))
            continue;
        Action action = std::move(it->second);
        m_actions.erase(it);
        shown.push_back(name);
        m_acting = modal;
        QTimer::singleShot(0, modal, [action, modal] { action(modal); });
        return true;
    }
    return false;
}

void ModalAnswerer::AnswerLogin(QWidget *modal)
{
    auto *login = static_cast<CLoginDlg *>(modal);
    shown.push_back(QStringLiteral("CLoginDlg"));
    loginUserNames.append(login->UserNameEdit()->text());
    loginUserNameEnabled.push_back(login->UserNameEdit()->isEnabled());
    Login next;
    if (!m_logins.empty())
    {
        next = m_logins.front();
        m_logins.pop_front();
    }
    if (!next.password)
    {
        QTest::mouseClick(login->CancelButton(), Qt::LeftButton);
        return;
    }
    if (!next.userName.isEmpty())
        QTest::keyClicks(login->UserNameEdit(), next.userName);
    QTest::keyClicks(login->PasswordEdit(), *next.password);
    QTest::mouseClick(login->OkButton(), Qt::LeftButton);
}

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
