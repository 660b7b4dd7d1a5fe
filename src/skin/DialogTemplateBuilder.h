#pragma once

#include "skin/DialogTemplate.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class CSkinDialog;

// Turns a dialog template into child widgets of a dialog. Typical use in a dialog's constructor:
//
//     DialogTemplateBuilder form;
//     if (form.Load(308) && form.Build(this))
//         form.ApplySkin(this);
//     m_btnOK = form.control<CSkinButton>(1);
//
// Controls are created in template order, which is also the tab order. Buttons, radios and
// check boxes are CSkinButton, list views CSkinListCtrl, progress bars CSkinProgressCtrl, IP
// address fields CIpAddressCtrl, statics QLabel, edits QLineEdit and combo boxes QComboBox.
class DialogTemplateBuilder
{
public:
    // Reads ":/templates/<number>.json"; on failure error() says why.
    bool Load(int number);
    void SetTemplate(const DialogTemplate &dialogTemplate);

    // Creates the controls, gives the dialog the template's font, window flags and caption, and
    // fixes its client size. Hidden and disabled controls are created so.
    bool Build(QWidget *dialog);

    // Background bitmap, static text colour, caption-less frame and the button bitmaps that the
    // template's skin section names (what the dialog's initialisation would hand out); after a
    // Build, those of the template that was built.
    void ApplySkin(CSkinDialog *dialog) const;

    // The first control with that id from the last Build, or nullptr; loading another template
    // afterwards does not change what it finds.
    QWidget *control(int id) const;
    template <class T> T *control(int id) const { return qobject_cast<T *>(control(id)); }
    // Every created control in template order, anonymous statics included.
    QList<QWidget *> controls() const;

    const DialogTemplate &dialogTemplate() const { return m_template; }
    QSize clientSize() const { return m_units.toPixels(m_template.size); }
    const DialogUnits &units() const { return m_units; }
    QString error() const { return m_error; }

    // Window flags for the template's style bits.
    static Qt::WindowFlags WindowFlagsFor(const DialogTemplate &dialogTemplate);

private:
    QWidget *createControl(const DialogControlTemplate &control, QWidget *parent) const;

    DialogTemplate m_template;
    DialogUnits m_units{6, 14};
    // What Build created, each with its id, independent of the template loaded later.
    struct BuiltControl
    {
        int id;
        QPointer<QWidget> widget;
    };
    QList<BuiltControl> m_controls;
    DialogTemplate m_built; // the template of the last Build
    QString m_error;
    bool m_hasTemplate = false;
};
