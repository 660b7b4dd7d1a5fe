#include "app/CAboutDlg.h"

#include "resources/ResourcePaths.h"
#include "skin/CSkinButton.h"
#include "skin/DialogTemplateBuilder.h"

#include <QIcon>
#include <QPixmap>

CAboutDlg::CAboutDlg(QWidget *parent) : CSkinDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    DialogTemplateBuilder form;
    if (form.Load(308) && form.Build(this))
        form.ApplySkin(this);
    setWindowIcon(QIcon(QPixmap(izuzez::IconResourcePath())));
    m_btnOK = form.control<CSkinButton>(1);
    if (m_btnOK)
        connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
}
