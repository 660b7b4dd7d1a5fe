#include "app/CLanguageDlg.h"

#include "app/AppGlobals.h"
#include "app/CLoadingDlg.h"
#include "app/CRestartDlg.h"
#include "app/ExchangeWait.h"
#include "app/InstallState.h"
#include "app/MessageBox.h"
#include "app/SkinnedDialog.h"
#include "platform/Shell.h"
#include "protocol/FixedText.h"
#include "services/CodepageInstall.h"
#include "services/WebLaunch.h"
#include "skin/CSkinButton.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QSignalBlocker>

#include <string>

namespace
{
constexpr int kTemplate = 139;
constexpr int kComboId = 1022;
using namespace izuzez::services;
} // namespace

CLanguageDlg::CLanguageDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("LanguageDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kTemplate, this);
    m_cboLanguage = form.control<QComboBox>(kComboId);
    m_btnOK = form.control<CSkinButton>(1);
    m_btnCancel = form.control<CSkinButton>(2);
    if (m_cboLanguage)
        connect(m_cboLanguage, &QComboBox::activated, this, &CLanguageDlg::OnSelchangeLanguage);
    if (m_btnOK)
        connect(m_btnOK, &QPushButton::clicked, this, &CLanguageDlg::OnOK);
    if (m_btnCancel)
        connect(m_btnCancel, &QPushButton::clicked, this, &CLanguageDlg::OnCancel);
}

int CLanguageDlg::DoModal()
{
    if (!OnInitDialog())
        return 0;
    return exec();
}

bool CLanguageDlg::OnInitDialog()
{
    const LanguageDisk disk = RunExchange([] { return AskLanguageDisk(); });
    g_bExtraCodepages = HasExtraCodepages(disk.state) ? 1 : 0;
    if (disk.refusal.empty())
    {
        if (m_cboLanguage)
        {
            const QSignalBlocker blocker(m_cboLanguage);
            m_cboLanguage->setCurrentIndex(disk.current);
        }
        return true;
    }
    ShowMessage(parentWidget(), disk.refusal, "", MessageIcon::None);
    if (disk.opensWebPage)
        izuzez::platform::WinExec("explorer " + izuzez::services::WebAddress(FieldText(szDeviceIP)));
    g_nRestartStatus = -1;
    m_ended = true;
    return false;
}

void CLanguageDlg::OnSelchangeLanguage()
{
    if (m_cboLanguage && IsCodepageUnsupported(m_cboLanguage->currentIndex(), g_bExtraCodepages != 0))
        ShowMessage(this, kUnsupportedCodepage, "", MessageIcon::None);
}

void CLanguageDlg::OnOK()
{
    if (!m_cboLanguage || m_cboLanguage->currentIndex() < 0)
        return;
    g_nCodepageIndex = m_cboLanguage->currentIndex();
    if (IsCodepageUnsupported(g_nCodepageIndex, g_bExtraCodepages != 0))
    {
        ShowMessage(this, kUnsupportedCodepage, "", MessageIcon::None);
        return;
    }
    m_ended = true;
    QDialog::accept();
    // A code page that needs no file must not inherit the failure of an earlier attempt.
    g_bInstallFailed = 0;
    QWidget *owner = parentWidget();
    CLoadingDlg loading(owner);
    loading.DoModal();
    if (g_bInstallFailed == 1)
    {
        CLanguageDlg again(owner);
        again.DoModal();
    }
    else
    {
        CRestartDlg restart(owner);
        restart.DoModal();
    }
}

void CLanguageDlg::OnCancel()
{
    if (m_ended)
        return;
    m_ended = true;
    g_nRestartStatus = -1;
    QDialog::reject();
}

void CLanguageDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
    OnCancel();
}
