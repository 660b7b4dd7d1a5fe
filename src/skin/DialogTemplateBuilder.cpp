#include "skin/DialogTemplateBuilder.h"
#include "skin/ComboAccessible.h"

#include "skin/CIpAddressCtrl.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinDialog.h"
#include "skin/CSkinListCtrl.h"
#include "skin/CSkinProgressCtrl.h"
#include "skin/SkinControlId.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>

namespace
{

// An icon static shows the icon at the system icon size and takes that size, as on Windows.
constexpr int kIconSize = 32;

QWidget *createButton(const DialogControlTemplate &control, QWidget *parent)
{
    if (control.kind == DialogControlKind::GroupBox)
        return new QGroupBox(control.text, parent);
    // Radios and check boxes keep the platform's look: no dialog gives them bitmaps. Radios of one
    // parent exclude each other, as the automatic radios of a template group do.
    if (control.kind == DialogControlKind::Radio)
        return new QRadioButton(control.text, parent);
    if (control.kind == DialogControlKind::CheckBox)
        return new QCheckBox(control.text, parent);
    auto *button = new CSkinButton(control.text, parent);
    button->SetKindFromStyle(control.buttonStyle());
    // Only the template's default button answers Enter, not whichever button has the focus.
    button->setAutoDefault(false);
    button->setDefault(control.has(QStringLiteral("default")));
    return button;
}

QWidget *createStatic(const DialogControlTemplate &control, QWidget *parent)
{
    auto *label = new QLabel(parent);
    if (control.kind == DialogControlKind::Icon)
    {
        const QPixmap icon(QStringLiteral(":/icon/%1.bmp").arg(control.image));
        label->setPixmap(icon.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(control.text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true); // a plain static wraps at word ends and clips what does not fit
    return label;
}

QWidget *createEdit(const DialogControlTemplate &control, QWidget *parent)
{
    auto *edit = new QLineEdit(control.text, parent);
    edit->setFrame(control.has(QStringLiteral("border")));
    edit->setReadOnly(control.has(QStringLiteral("readOnly")));
    if (control.has(QStringLiteral("password")))
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QWidget *createCombo(const DialogControlTemplate &control, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->addItems(control.items);
    combo->setCurrentIndex(-1); // a drop-down list starts with no selection
    return combo;
}

// Hinted Windows text runs a little narrower than the same text laid out here, so a one-line static
// that was made just wide enough for its text on Windows would wrap and lose its last word. Such
// a static is widened to its text, never beyond the dialog.
QRect fitSingleLineStatic(const DialogControlTemplate &control, QRect rect, const QFont &font, int clientWidth)
{
    const QFontMetrics metrics(font);
    if (rect.height() >= 2 * metrics.height())
        return rect;
    const int needed = metrics.horizontalAdvance(control.text) + 1;
    if (needed > rect.width())
        rect.setWidth(qMax(rect.width(), qMin(needed, clientWidth - rect.x())));
    return rect;
}

} // namespace

bool DialogTemplateBuilder::Load(int number)
{
    m_error.clear();
    std::optional<DialogTemplate> loaded = LoadDialogTemplate(number, &m_error);
    if (!loaded)
        return false;
    SetTemplate(*loaded);
    return true;
}

void DialogTemplateBuilder::SetTemplate(const DialogTemplate &dialogTemplate)
{
    m_template = dialogTemplate;
    m_units = DialogUnits(DialogTemplateFont(m_template));
    m_hasTemplate = true;
}

Qt::WindowFlags DialogTemplateBuilder::WindowFlagsFor(const DialogTemplate &dialogTemplate)
{
    Qt::WindowFlags flags = dialogTemplate.has(QStringLiteral("appWindow")) ? Qt::Window : Qt::Dialog;
    if (!dialogTemplate.hasCaption())
        return flags | Qt::FramelessWindowHint;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.has(QStringLiteral("sysMenu")))
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

bool DialogTemplateBuilder::Build(QWidget *dialog)
{
    if (!m_hasTemplate || dialog == nullptr)
    {
        m_error = QStringLiteral("no template or no dialog");
        return false;
    }
    InstallComboAccessible();
    m_controls.clear();
    m_built = m_template;
    dialog->setWindowFlags(WindowFlagsFor(m_template));
    dialog->setWindowTitle(m_template.caption);
    dialog->setFont(DialogTemplateFont(m_template));
    dialog->setFixedSize(clientSize());
    for (const DialogControlTemplate &control : m_template.controls)
    {
        QWidget *widget = createControl(control, dialog);
        if (control.id != kNoControlId)
            SetDlgCtrlID(widget, control.id);
        SetDlgGroupStart(widget, control.has(QStringLiteral("groupStart")));
        const bool isStatic = control.kind == DialogControlKind::Static || control.kind == DialogControlKind::Icon;
        widget->setFocusPolicy(isStatic ? Qt::NoFocus
                                        : (control.has(QStringLiteral("tabStop")) ? Qt::StrongFocus : Qt::ClickFocus));
        if (!control.name.isEmpty())
            widget->setAccessibleName(control.name);
        widget->setEnabled(!control.isDisabled());
        widget->setHidden(control.isHidden());
        m_controls.append({control.id, widget});
    }
    return true;
}

QWidget *DialogTemplateBuilder::createControl(const DialogControlTemplate &control, QWidget *parent) const
{
    QWidget *widget = nullptr;
    QRect rect = m_units.toPixels(control.rect);
    switch (control.kind)
    {
    case DialogControlKind::Button:
    case DialogControlKind::Radio:
    case DialogControlKind::CheckBox:
    case DialogControlKind::GroupBox:
        widget = createButton(control, parent);
        break;
    case DialogControlKind::Static:
        widget = createStatic(control, parent);
        rect = fitSingleLineStatic(control, rect, DialogTemplateFont(m_template), clientSize().width());
        static_cast<QLabel *>(widget)->setWordWrap(rect.height() >= 2 * QFontMetrics(parent->font()).height());
        break;
    case DialogControlKind::Icon:
        widget = createStatic(control, parent);
        rect.setSize(QSize(kIconSize, kIconSize));
        break;
    case DialogControlKind::Edit:
        widget = createEdit(control, parent);
        break;
    case DialogControlKind::Combo:
    {
        widget = createCombo(control, parent);
        // The template's height is that of the dropped-down list; the closed box is one text
        // line high. The list shows as many items as fit in the template's height.
        const int closed = qMin(rect.height(), m_units.baseY() + 8);
        static_cast<QComboBox *>(widget)->setMaxVisibleItems(qMax(1, (rect.height() - closed) / m_units.baseY()));
        rect.setHeight(closed);
        break;
    }
    case DialogControlKind::ListView:
        widget = new CSkinListCtrl(parent);
        break;
    case DialogControlKind::IpAddress:
        widget = new CIpAddressCtrl(parent);
        break;
    case DialogControlKind::Progress:
        widget = new CSkinProgressCtrl(parent);
        static_cast<CSkinProgressCtrl *>(widget)->setRange(0, 100);
        static_cast<CSkinProgressCtrl *>(widget)->setValue(0);
        break;
    }
    widget->setGeometry(rect);
    return widget;
}

void DialogTemplateBuilder::ApplySkin(CSkinDialog *dialog) const
{
    const DialogTemplate &source = m_controls.isEmpty() ? m_template : m_built;
    const DialogSkinTemplate &skin = source.skin;
    for (int id : skin.keepColors)
        dialog->ExcludeFromStaticColor(id);
    if (skin.background > 0)
        dialog->SetBackgroundBitmap(skin.background, skin.unscaled ? CSkinDialog::BackgroundMode::Unscaled
                                                                   : CSkinDialog::BackgroundMode::Stretched);
    dialog->SetStaticTextColor(skin.staticText);
    // Radio and check box captions are printed on the background like static texts.
    for (QWidget *widget : controls())
    {
        if (qobject_cast<QRadioButton *>(widget) || qobject_cast<QCheckBox *>(widget))
        {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText, skin.staticText);
            widget->setPalette(palette);
        }
    }
    dialog->SetCaptionless(!source.hasCaption());
    for (auto it = skin.buttons.cbegin(); it != skin.buttons.cend(); ++it)
    {
        if (auto *button = control<CSkinButton>(it.key()))
        {
            const std::array<int, 4> &n = it.value();
            button->SetBitmaps(n[0], n[1], n[2], n[3]);
        }
    }
}

QWidget *DialogTemplateBuilder::control(int id) const
{
    for (const BuiltControl &built : m_controls)
    {
        if (built.id == id && id != kNoControlId)
            return built.widget;
    }
    return nullptr;
}

QList<QWidget *> DialogTemplateBuilder::controls() const
{
    QList<QWidget *> result;
    for (const BuiltControl &built : m_controls)
        result.append(built.widget);
    return result;
}
