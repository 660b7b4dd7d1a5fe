#include "app/CLoginDlg.h"

#include "app/AppGlobals.h"
#include "app/SkinnedDialog.h"
#include "app/Utf8ByteLimit.h"
#include "platform/SystemInfo.h"
#include "protocol/FixedText.h"
#include "protocol/ProtocolState.h"
#include "services/WindowsVersion.h"
#include "skin/CSkinButton.h"

#include <QLineEdit>

namespace
{
constexpr int kTemplate = 134;
constexpr int kUserNameBuffer = 128;
} // namespace

CLoginDlg::CLoginDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("LoginDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kTemplate, this);
    m_btnOK = form.control<CSkinButton>(1);
    m_btnCancel = form.control<CSkinButton>(2);
    m_edtUserName = form.control<QLineEdit>(1016);
    m_edtPassword = form.control<QLineEdit>(1017);
    // What reaches the wire is 16 bytes of UTF-8; a field never holds more than that.
    for (QLineEdit *edit : {m_edtUserName, m_edtPassword})
        if (edit)
            edit->setValidator(new Utf8ByteLimit(kCredentialLength, edit));
    if (m_btnOK)
        connect(m_btnOK, &QPushButton::clicked, this, &CLoginDlg::OnOK);
    if (m_btnCancel)
        connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CLoginDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

bool CLoginDlg::OnInitDialog()
{
    if (!m_edtUserName || !m_edtPassword)
        return true;
    m_edtUserName->setMaxLength(kFieldLimit);
    m_edtPassword->setMaxLength(kFieldLimit);
    m_edtPassword->setText(m_password);
    if (g_nLoginMode == kLoginModeAdmin)
    {
        m_userName = QStringLiteral("admin");
        m_edtUserName->setText(m_userName);
        m_edtUserName->setEnabled(false);
    }
    else
    {
        std::string version;
        izuzez::services::GetWindowsVersionName(version);
        std::string user;
        if (version.find("ME") != std::string::npos || version.find("98") != std::string::npos)
        {
            izuzez::platform::CurrentSystemInfo().GetUserName(user);
            if (user.size() >= kUserNameBuffer)
                user.resize(kUserNameBuffer - 1);
            m_userName = QString::fromStdString(user);
            // The logged-on name is put in whole, even past the typing limit.
            m_edtUserName->setMaxLength(qMax(kFieldLimit, static_cast<int>(m_userName.size())));
            m_edtUserName->setText(m_userName);
            m_edtUserName->setEnabled(false);
        }
        else
        {
            m_userName.clear();
            m_edtUserName->setText(m_userName);
            m_edtUserName->setEnabled(true);
        }
    }
    (m_edtUserName->isEnabled() ? m_edtUserName : m_edtPassword)->setFocus();
    return true;
}

void CLoginDlg::OnOK()
{
    if (m_edtUserName)
        m_userName = m_edtUserName->text();
    if (m_edtPassword)
        m_password = m_edtPassword->text();
    // The logged-on name of the old systems is shown whole; what is sent of it ends on a whole character.
    CopyText(g_ProtocolState.userName, Utf8Prefix(m_userName, kCredentialLength).toStdString());
    CopyText(g_ProtocolState.password, Utf8Prefix(m_password, kCredentialLength).toStdString());
    m_confirmed = true;
    reject();
}
