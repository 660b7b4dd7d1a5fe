#pragma once

#include "skin/CSkinDialog.h"

class CSkinButton;

// 1 when the last CDriveLetterUsedDlg closed with OK, 0 when with Cancel, Escape or the close box.
extern int g_nDriveReuseAnswer;

// "The drive letter has been used." Asks whether to replace the letter's connection.
class CDriveLetterUsedDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CDriveLetterUsedDlg(QWidget *parent = nullptr);
    int DoModal();
    void OnOK() override;
    void reject() override;

    CSkinButton *OkButton() const { return m_btnOK; }
    CSkinButton *CancelButton() const { return m_btnCancel; }

private:
    CSkinButton *m_btnOK = nullptr;
    CSkinButton *m_btnCancel = nullptr;
};
