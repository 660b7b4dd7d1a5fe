#include "app/CDriveLetterUsedDlg.h"

#include "app/SkinnedDialog.h"
#include "skin/CSkinButton.h"

int g_nDriveReuseAnswer = 0;

namespace
{
constexpr int kTemplate = 229;
} // namespace

CDriveLetterUsedDlg::CDriveLetterUsedDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("DriveLetterUsedDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kTemplate, this);
    m_btnOK = form.control<CSkinButton>(1);
    m_btnCancel = form.control<CSkinButton>(2);
    if (m_btnOK)
        connect(m_btnOK, &QPushButton::clicked, this, &CDriveLetterUsedDlg::OnOK);
    if (m_btnCancel)
        connect(m_btnCancel, &QPushButton::clicked, this, &CDriveLetterUsedDlg::reject);
}

int CDriveLetterUsedDlg::DoModal()
{
    // Closing by any other way than the two buttons counts as Cancel.
    g_nDriveReuseAnswer = 0;
    return exec();
}

void CDriveLetterUsedDlg::OnOK()
{
    g_nDriveReuseAnswer = 1;
    accept();
}

void CDriveLetterUsedDlg::reject()
{
    g_nDriveReuseAnswer = 0;
    CSkinDialog::reject();
}
