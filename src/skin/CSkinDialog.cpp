#include "skin/CSkinDialog.h"

#include "skin/CSkinButton.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinControlId.h"
#include "skin/SkinRegions.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QWindow>

CSkinDialog::CSkinDialog(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void CSkinDialog::SetBackgroundBitmap(int number, BackgroundMode mode)
{
    m_nBackgroundBitmap = number;
    m_backgroundMode = mode;
    m_bmpBackground = QPixmap();
    // The device-independent kind is read at once; the stretched kind at its first paint.
    m_backgroundRatio = devicePixelRatioF();
    if (mode == BackgroundMode::Unscaled)
        m_bmpBackground = LoadSkinPixmap(number, m_backgroundRatio);
    update();
}

void CSkinDialog::SetStaticTextColor(const QColor &color)
{
    m_crStaticText = color;
    ApplyStaticTextColors();
}

void CSkinDialog::ExcludeFromStaticColor(int controlId)
{
    m_excludedIds.insert(controlId);
}

void CSkinDialog::ApplyStaticTextColors()
{
    const auto labels = findChildren<QLabel *>();
    for (QLabel *label : labels)
    {
        if (label->window() == this)
            OnCtlColor(label);
    }
}

bool CSkinDialog::OnCtlColor(QLabel *label)
{
    if (m_excludedIds.contains(GetDlgCtrlID(label)))
        return false;
    // Transparent: the text lies straight on the background bitmap.
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground, false);
    QPalette palette = label->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, m_crStaticText);
    label->setPalette(palette);
    return true;
}

void CSkinDialog::SetCaptionless(bool captionless)
{
    m_bCaptionless = captionless;
    setWindowFlag(Qt::FramelessWindowHint, captionless);
    if (captionless)
        OnSize(width(), height());
    else
        clearMask();
}

bool CSkinDialog::OnEraseBkgnd(QPainter &painter)
{
    if (m_nBackgroundBitmap <= 0)
        return false;
    // Moved to a screen of another pixel ratio: the other drawing of the same bitmap.
    if (devicePixelRatioF() != m_backgroundRatio && !m_bmpBackground.isNull())
    {
        m_backgroundRatio = devicePixelRatioF();
        m_bmpBackground = LoadSkinPixmap(m_nBackgroundBitmap, m_backgroundRatio);
    }
    if (m_backgroundMode == BackgroundMode::Stretched)
    {
        if (m_bmpBackground.isNull())
        {
            m_backgroundRatio = devicePixelRatioF();
            m_bmpBackground = LoadSkinPixmap(m_nBackgroundBitmap, m_backgroundRatio);
        }
        if (m_bmpBackground.isNull())
            return false;
        painter.drawPixmap(rect(), m_bmpBackground, m_bmpBackground.rect());
        return true;
    }
    if (m_bmpBackground.isNull())
        return false;
    painter.drawPixmap(QPoint(0, 0), m_bmpBackground);
    return true;
}

void CSkinDialog::OnSize(int cx, int cy)
{
    if (!m_bCaptionless)
        return;
    setMask(SteppedCornerRegion(cx, cy));
    update();
}

void CSkinDialog::paintEvent(QPaintEvent *event)
{
    // The default erase (the palette's window colour) has already run; draw over it.
    QPainter painter(this);
    OnEraseBkgnd(painter);
    QDialog::paintEvent(event);
}

void CSkinDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CSkinDialog::showEvent(QShowEvent *event)
{
    ApplyStaticTextColors();
    // A dialog without a caption is named by its first text, so that a screen reader says more than "dialog".
    if (windowTitle().isEmpty() && accessibleName().isEmpty())
        for (const QLabel *label : findChildren<QLabel *>())
            if (QString text = label->text().trimmed(); !label->isHidden() && !text.isEmpty())
            {
                while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char('.')))
                    text.chop(1);
                setAccessibleName(text.trimmed());
                break;
            }
    QDialog::showEvent(event);
}

void CSkinDialog::childEvent(QChildEvent *event)
{
    QDialog::childEvent(event);
    // Statics built after construction get their colour as they arrive.
    if (event->type() == QEvent::ChildPolished)
    {
        if (auto *label = qobject_cast<QLabel *>(event->child()))
            OnCtlColor(label);
    }
}

void CSkinDialog::mousePressEvent(QMouseEvent *event)
{
    // The press grabs the pointer implicitly, so moves and the release come here until it ends.
    // Only presses on the dialog's own surface (or on statics, which let them through) get here;
    // controls take their own clicks.
    // Presses that a control ignores (a disabled control, the dots and margins of an IP address
    // field) bubble up here too; they must not move the window.
    if (!m_bCaptionless || event->button() != Qt::LeftButton || !IsDialogSurface(event->position().toPoint()))
    {
        QDialog::mousePressEvent(event);
        return;
    }
    QWindow *handle = windowHandle();
    if (handle && handle->startSystemMove())
    {
        event->accept();
        return;
    }
    // The platform cannot move it for us: follow the pointer ourselves.
    m_bManualMove = true;
    m_ptMoveOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void CSkinDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bManualMove && (event->buttons() & Qt::LeftButton))
    {
        move(event->globalPosition().toPoint() - m_ptMoveOffset);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CSkinDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_bManualMove && event->button() == Qt::LeftButton)
    {
        m_bManualMove = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

bool CSkinDialog::IsDialogSurface(const QPoint &pos) const
{
    if (!rect().contains(pos))
        return false;
    const QWidget *child = childAt(pos);
    if (child == nullptr)
        return true;
    // Statics and group frames are printed on the background; anything inside another control
    // (such as the dots of an IP address field) belongs to that control.
    return child->parentWidget() == this &&
           (qobject_cast<const QLabel *>(child) || qobject_cast<const QGroupBox *>(child));
}

void CSkinDialog::OnOK()
{
    auto *ok = qobject_cast<QAbstractButton *>(GetDlgItem(this, 1));
    if (ok && ok->isEnabled() && ok->window() == this)
        ok->click();
    else
        accept();
}

void CSkinDialog::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!enter || modifiers != Qt::NoModifier)
    {
        QDialog::keyPressEvent(event);
        return;
    }
    // A default button takes Enter as usual; without one, Enter is the OK command, whichever
    // control has the focus (the skinned buttons never become default by taking the focus).
    const auto buttons = findChildren<QPushButton *>();
    for (QPushButton *button : buttons)
    {
        if (button->isDefault() && button->isVisible() && button->window() == this)
        {
            QDialog::keyPressEvent(event);
            return;
        }
    }
    event->accept();
    // A window without an OK button (the main window) would end on Enter; there a focused push
    // button takes Enter as it takes Space.
    auto *focused = qobject_cast<CSkinButton *>(focusWidget());
    if (focused && focused->GetKind() == CSkinButton::KindPush && focused->window() == this &&
        !qobject_cast<QAbstractButton *>(GetDlgItem(this, 1)))
    {
        focused->click();
        return;
    }
    OnOK();
}
