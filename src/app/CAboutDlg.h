#pragma once

#include "skin/CSkinDialog.h"

class CSkinButton;

// The About box: icon, name, a line about the program and the version over bitmap 268.
class CAboutDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);
    CSkinButton *OkButton() const { return m_btnOK; }

private:
    CSkinButton *m_btnOK = nullptr;
};
