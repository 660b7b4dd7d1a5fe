#pragma once

#include "skin/CSkinDialog.h"

class CSkinButton;
class QComboBox;

// "Language": asks the device for its disk state and code page, offers the nine languages and, on OK,
// runs the installation (loading dialog, then the restart wait or, after a failure, itself again).
class CLanguageDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CLanguageDlg(QWidget *parent = nullptr);

    // Runs the opening questions; shows the dialog only when they leave it open.
    int DoModal();
    // False when the dialog ended during the opening (a message was shown).
    bool OnInitDialog();
    void OnSelchangeLanguage();
    void OnOK() override;
    void OnCancel();
    void reject() override { OnCancel(); }

    QComboBox *LanguageCombo() const { return m_cboLanguage; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QComboBox *m_cboLanguage = nullptr;
    CSkinButton *m_btnOK = nullptr;
    CSkinButton *m_btnCancel = nullptr;
    bool m_ended = false;
};
