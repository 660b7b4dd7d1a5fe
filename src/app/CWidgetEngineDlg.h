#pragma once

#include "skin/CSkinDialog.h"

class QRadioButton;

// Offers the widget engine's download: "Download" (id 1) sets g_nWidgetDownload to 1, "Next" (id 2),
// Escape and the close box set it to 0.
class CWidgetEngineDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CWidgetEngineDlg(QWidget *parent = nullptr);

    void OnDownload();
    void OnNext();
    void reject() override { OnNext(); }
    void OnOK() override {}
};

// "The model type cannot be recognized.": OK puts the checked radio's index (or -1) into
// g_nModelChoice; Cancel, Escape and the close box put -1.
class CSelectModelDlg : public CSkinDialog
{
    Q_OBJECT

public:
    explicit CSelectModelDlg(QWidget *parent = nullptr);

    void OnOK() override;
    void OnCancel();
    void reject() override { OnCancel(); }

    QRadioButton *Radio(int index) const { return index >= 0 && index < 3 ? m_radios[index] : nullptr; }

private:
    QRadioButton *m_radios[3] = {};
};

extern int g_nWidgetDownload;
extern int g_nModelChoice;
