#include "app/CWidgetEngineDlg.h"

#include "app/SkinnedDialog.h"
#include "skin/CSkinButton.h"

#include <QRadioButton>

int g_nWidgetDownload = 0;
int g_nModelChoice = -1;

namespace
{
constexpr int kEngineTemplate = 264;
constexpr int kModelTemplate = 265;
constexpr int kModelRadios[] = {1029, 1030, 1031};
} // namespace

CWidgetEngineDlg::CWidgetEngineDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("WidgetEngineDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kEngineTemplate, this);
    if (auto *download = form.control<CSkinButton>(1))
        connect(download, &QPushButton::clicked, this, &CWidgetEngineDlg::OnDownload);
    if (auto *next = form.control<CSkinButton>(2))
        connect(next, &QPushButton::clicked, this, &CWidgetEngineDlg::OnNext);
}

void CWidgetEngineDlg::OnDownload()
{
    g_nWidgetDownload = 1;
    QDialog::done(1);
}

void CWidgetEngineDlg::OnNext()
{
    g_nWidgetDownload = 0;
    QDialog::done(2);
}

CSelectModelDlg::CSelectModelDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("SelectModelDialog"));
    DialogTemplateBuilder form;
    BuildSkinnedDialog(form, kModelTemplate, this);
    for (int i = 0; i < 3; ++i)
        m_radios[i] = form.control<QRadioButton>(kModelRadios[i]);
    if (auto *ok = form.control<CSkinButton>(1))
        connect(ok, &QPushButton::clicked, this, &CSelectModelDlg::OnOK);
    if (auto *cancel = form.control<CSkinButton>(2))
        connect(cancel, &QPushButton::clicked, this, &CSelectModelDlg::OnCancel);
}

void CSelectModelDlg::OnOK()
{
    g_nModelChoice = -1;
    for (int i = 0; i < 3; ++i)
    {
        if (m_radios[i] != nullptr && m_radios[i]->isChecked())
        {
            g_nModelChoice = i;
            break;
        }
    }
    QDialog::done(1);
}

void CSelectModelDlg::OnCancel()
{
    g_nModelChoice = -1;
    QDialog::done(2);
}
