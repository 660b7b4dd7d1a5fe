#include "app/CSearchUtilityApp.h"

#include "app/CSearchUtilityDlg.h"
#include "protocol/Endpoints.h"
#include "protocol/FixedText.h"
#include "protocol/LocalInterfaces.h"
#include "protocol/ProtocolState.h"

#include <QApplication>
#include <QPalette>

#include <cstdio>

CSearchUtilityApp::CSearchUtilityApp(std::vector<std::string> interfaces) : m_interfaces(std::move(interfaces)) {}

int CSearchUtilityApp::InitInstance()
{
    SetInterfaceFilter(m_interfaces);
    OpenEndpoints();
    for (const std::string &wanted : m_interfaces)
    {
        bool found = false;
        for (int i = 0; i < g_ProtocolState.interfaceCount && i < kInterfaceLimit; ++i)
            found = found || FieldText(g_ProtocolState.interfaceAddress[i]) == wanted;
        if (!found)
        {
            std::fprintf(stderr, "izuzez-utility: %s is not a local IPv4 address of this machine.\n", wanted.c_str());
            CloseEndpoints();
            return 2;
        }
    }

    CSearchUtilityDlg dlg;
    // Dialogs get a white background; their static texts keep their own colours, so that a message
    // box stays readable.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, Qt::white);
    QApplication::setPalette(palette);
    dlg.DoModal();
    return 0;
}
