#pragma once

#include "skin/CSkinDialog.h"

#include <QString>

class CSkinButton;
class QLineEdit;

// "Login": asks for a user name and a password and leaves them in the protocol state's userName and
// password when confirmed. g_nLoginMode chooses the administrator or the share login.
class CLoginDlg : public CSkinDialog
{
    Q_OBJECT

public:
    static constexpr int kFieldLimit = 16;

    explicit CLoginDlg(QWidget *parent = nullptr);

    // Initialises the fields for the current g_nLoginMode and runs the dialog modally.
    int DoModal();
    bool OnInitDialog();
    // OK and Enter: stores both texts, then closes as Cancel does.
    void OnOK() override;
    // True once OK stored the texts (the modal result is Cancel on both buttons).
    bool Confirmed() const { return m_confirmed; }

    QLineEdit *UserNameEdit() const { return m_edtUserName; }
    QLineEdit *PasswordEdit() const { return m_edtPassword; }
    CSkinButton *OkButton() const { return m_btnOK; }
    CSkinButton *CancelButton() const { return m_btnCancel; }

protected:
private:
    CSkinButton *m_btnOK = nullptr;
    CSkinButton *m_btnCancel = nullptr;
    QLineEdit *m_edtUserName = nullptr;
    QLineEdit *m_edtPassword = nullptr;
    QString m_userName;
    QString m_password;
    bool m_confirmed = false;
};
