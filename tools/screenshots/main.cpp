// Takes the documentation's pictures of the real window: the main window with a device clicked (against
// the simulator on loopback, in a private network namespace when run as root), the Login and the About
// dialogs, and the main window again on a screen at 200 % (a second run of itself with Qt's scale factor).
// Runs offscreen. Usage: izuzez-screenshots [output directory] (default docs/screenshots).

#include "app/AppGlobals.h"
#include "app/CAboutDlg.h"
#include "app/CLoginDlg.h"
#include "app/CSearchUtilityDlg.h"
#include "platform/RunProcess.h"
#include "protocol/Endpoints.h"
#include "protocol/LocalInterfaces.h"
#include "skin/CSkinListCtrl.h"
#include "skin/SkinControlId.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sched.h>
#include <unistd.h>

using izuzez::platform::ProcessRun;
using izuzez::platform::ProcessStart;
using izuzez::platform::RunOptions;
using izuzez::platform::RunProcess;
using izuzez::platform::StartMode;
using izuzez::platform::StartProcess;
using izuzez::platform::StopProcess;

namespace
{

namespace fs = std::filesystem;

// The devices answer on the address they sit beside, so that none is drawn as outside the network.
const char kDevices[] = R"({"listen": "%LISTEN%", "devices": [
  {"name": "Office-NAS", "address": "192.168.1.20", "netmask": "255.255.255.0", "gateway": "192.168.1.1",
   "shares": ["HDD_a", "Public", "Photos"], "model": "NS-2400", "mac": "00:1B:7A:10:00:02", "sw_version": "2.3.1"},
  {"name": "Backup-NAS", "address": "192.168.1.34", "netmask": "255.255.255.0", "gateway": "192.168.1.1",
   "dhcp": true, "model": "NS-4800S"},
  {"name": "Recorder-Hall", "address": "192.168.1.51", "netmask": "255.255.255.0", "gateway": "0.0.0.0",
   "model": "NV-800"}
]})";

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr std::chrono::seconds kStopGrace{5};

int StartSimulator(const fs::path &dir, const std::string &listen)
{
    std::string config = kDevices;
    config.replace(config.find("%LISTEN%"), 8, listen);
    std::ofstream(dir / "devices.json") << config;
    const std::string devsim = (fs::read_symlink("/proc/self/exe").parent_path() / "izuzez-devsim").string();
    const std::string configPath = (dir / "devices.json").string();
    const std::string log = (dir / "devsim.log").string();
    const ProcessStart start = StartProcess({devsim, "--config", configPath, "--log", log}, StartMode::Kept);
    if (start.error != 0)
        return -1;
    const int pid = start.pid;
    for (int i = 0; i < 300; ++i)
    {
        if (ReadAll(dir / "devsim.log").find("ready ") != std::string::npos)
            return pid;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    StopProcess(pid, kStopGrace);
    return -1;
}

bool Save(QWidget *widget, const QDir &out, const char *file)
{
    QApplication::processEvents();
    const QString path = out.filePath(QString::fromLatin1(file));
    const bool ok = widget->grab().save(path);
    std::printf("%s %dx%d%s\n", qPrintable(path), widget->width(), widget->height(), ok ? "" : " FAILED");
    return ok;
}

} // namespace

// Runs this program again on a screen at 200 %, where it takes the main window only.
bool TakeScaledPictures(const char *outDir)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    setenv("QT_SCALE_FACTOR", "2", 1);
    setenv("IZUZEZ_SHOTS_SCALED", "1", 1);
    const ProcessRun run = RunProcess({self, outDir}, RunOptions{std::chrono::minutes(2), false, true});
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("IZUZEZ_SHOTS_SCALED");
    return run.status == 0;
}

int main(int argc, char **argv)
{
    const bool scaled = qEnvironmentVariableIsSet("IZUZEZ_SHOTS_SCALED");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots"));
    if (!out.exists() && !QDir().mkpath(out.path()))
        return 1;

    // As root, in a network namespace of its own the devices' network is put on loopback, so that they
    // answer inside it; otherwise they answer on 127.0.0.1 and are shown as outside its network.
    std::string listen = "127.0.0.1";
    if (geteuid() == 0 && unshare(CLONE_NEWNET) == 0 &&
        std::system("ip link set lo up && ip addr add 192.168.1.10/24 dev lo") == 0)
        listen = "192.168.1.10";
    std::string pattern = (fs::temp_directory_path() / "izuzez-shots-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return 1;
    const fs::path dir = pattern;
    // One share of the first device is mapped, so that the letter shows in the volume list and the combo.
    const fs::path mount = dir / "gvfs" / "smb-share:server=192.168.1.20,share=hdd_a";
    fs::create_directories(mount);
    fs::create_directories(dir / "drives");
    fs::create_directory_symlink(mount, dir / "drives" / "Z");
    setenv("IZUZEZ_DRIVES_DIR", (dir / "drives").c_str(), 1);

    const int simulator = StartSimulator(dir, listen);
    if (simulator < 0)
    {
        std::fprintf(stderr, "izuzez-screenshots: the simulator did not come up\n");
        fs::remove_all(dir);
        return 1;
    }
    SetInterfaceFilter({listen});
    OpenEndpoints();

    bool ok = true;
    {
        CSearchUtilityDlg dlg;
        dlg.OnInitDialog();
        auto *devices = qobject_cast<CSkinListCtrl *>(GetDlgItem(&dlg, 1000));
        if (devices && devices->topLevelItem(0))
            QTest::mouseClick(devices->viewport(), Qt::LeftButton, {},
                              devices->visualItemRect(devices->topLevelItem(0)).center());
        ok = Save(&dlg, out, scaled ? "main-window-200.png" : "main-window.png") && ok;
    }
    StopProcess(simulator, kStopGrace);
    if (!scaled)
    {
        // With no device on the network the list says why, as far as it can be seen without root.
        CSearchUtilityDlg dlg;
        dlg.OnInitDialog();
        ok = Save(&dlg, out, "empty-list.png") && ok;
    }
    if (!scaled)
    {
        g_nLoginMode = kLoginModeAdmin;
        CLoginDlg login;
        login.OnInitDialog();
        login.PasswordEdit()->setText(QStringLiteral("secret"));
        login.show();
        ok = Save(&login, out, "login.png") && ok;
    }
    if (!scaled)
    {
        CAboutDlg about;
        about.show();
        ok = Save(&about, out, "about.png") && ok;
    }

    CloseEndpoints();
    fs::remove_all(dir);
    if (!scaled)
        ok = TakeScaledPictures(argc > 1 ? argv[1] : "docs/screenshots") && ok;
    return ok ? 0 : 1;
}
