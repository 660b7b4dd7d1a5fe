#include "skin/CIpAddressCtrl.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>

#include <cstdlib>
#include <limits>

CIpAddressCtrl::CIpAddressCtrl(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    const auto *validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), this);
    for (int i = 0; i < 4; ++i)
    {
        auto *edit = new QLineEdit(this);
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        edit->setValidator(validator);
        edit->setMaxLength(3);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        edit->installEventFilter(this);
        edit->setObjectName(QStringLiteral("field%1").arg(i));
        // Only the first octet is a Tab stop; the others are reached with the period and the arrows.
        if (i > 0)
            edit->setFocusPolicy(Qt::ClickFocus);
        connect(edit, &QLineEdit::textEdited, this, [this, i] { onEdited(i); });
        m_fields[static_cast<std::size_t>(i)] = edit;
        layout->addWidget(edit, 1);
        if (i < 3)
        {
            auto *dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            layout->addWidget(dot);
        }
    }
    setFocusProxy(m_fields[0]);
}

void CIpAddressCtrl::SetAddress(std::uint32_t address)
{
    SetAddress(static_cast<int>(address >> 24), static_cast<int>((address >> 16) & 0xFF),
               static_cast<int>((address >> 8) & 0xFF), static_cast<int>(address & 0xFF));
}

void CIpAddressCtrl::SetAddress(int field0, int field1, int field2, int field3)
{
    const int values[4] = {field0, field1, field2, field3};
    for (int i = 0; i < 4; ++i)
        m_fields[static_cast<std::size_t>(i)]->setText(QString::number(qBound(0, values[i], 255)));
    emit addressChanged();
}

int CIpAddressCtrl::GetAddress(std::uint32_t &address) const
{
    address = 0;
    int filled = 0;
    for (QLineEdit *edit : m_fields)
    {
        const QString text = edit->text();
        address <<= 8;
        if (!text.isEmpty())
        {
            address |= static_cast<std::uint32_t>(qBound(0, text.toInt(), 255));
            ++filled;
        }
    }
    return filled;
}

void CIpAddressCtrl::ClearAddress()
{
    for (QLineEdit *edit : m_fields)
        edit->clear();
    emit addressChanged();
}

bool CIpAddressCtrl::IsBlank() const
{
    for (QLineEdit *edit : m_fields)
    {
        if (!edit->text().isEmpty())
            return false;
    }
    return true;
}

QString CIpAddressCtrl::text() const
{
    if (IsBlank())
        return {};
    std::uint32_t address = 0;
    GetAddress(address);
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

bool CIpAddressCtrl::setText(const QString &dotted)
{
    const QStringList parts = dotted.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    int values[4];
    for (int i = 0; i < 4; ++i)
    {
        bool ok = false;
        values[i] = parts.at(i).toInt(&ok);
        if (!ok || parts.at(i).size() > 3 || values[i] < 0 || values[i] > 255)
            return false;
    }
    SetAddress(values[0], values[1], values[2], values[3]);
    return true;
}

void CIpAddressCtrl::SetFieldFocus(int field)
{
    if (field >= 0 && field < 4)
        moveTo(field, false);
}

int CIpAddressCtrl::indexOf(const QObject *field) const
{
    for (int i = 0; i < 4; ++i)
    {
        if (m_fields[static_cast<std::size_t>(i)] == field)
            return i;
    }
    return -1;
}

void CIpAddressCtrl::onEdited(int index)
{
    QLineEdit *edit = m_fields[static_cast<std::size_t>(index)];
    if (edit->text().toInt() > 255)
        edit->setText(QStringLiteral("255"));
    if (edit->text().size() == 3 && edit->cursorPosition() == 3 && index < 3)
        moveTo(index + 1, false);
    emit addressChanged();
}

void CIpAddressCtrl::moveTo(int index, bool atEnd)
{
    QLineEdit *edit = m_fields[static_cast<std::size_t>(index)];
    edit->setFocus(Qt::OtherFocusReason);
    if (atEnd)
    {
        edit->deselect();
        edit->setCursorPosition(edit->text().size());
    }
    else
    {
        edit->selectAll();
    }
}

bool CIpAddressCtrl::event(QEvent *event)
{
    // The name is given after construction (by the dialog template); the octets take it on when shown.
    if (event->type() == QEvent::Polish || event->type() == QEvent::Show)
        nameFields();
    return QFrame::event(event);
}

void CIpAddressCtrl::nameFields()
{
    for (int i = 0; i < 4; ++i)
    {
        QLineEdit *edit = m_fields[static_cast<std::size_t>(i)];
        edit->setAccessibleName(accessibleName());
        edit->setAccessibleDescription(tr("Octet %1 of 4").arg(i + 1));
    }
}

bool CIpAddressCtrl::eventFilter(QObject *watched, QEvent *event)
{
    const int index = indexOf(watched);
    if (index < 0 || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    QLineEdit *edit = m_fields[static_cast<std::size_t>(index)];
    const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
    const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
    const bool backtab =
        key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
    if (backtab && index > 0)
    {
        // From a later octet, Shift+Tab leaves the field as it does from the first.
        m_fields[0]->setFocus(Qt::BacktabFocusReason);
        focusNextPrevChild(false);
        return true;
    }
    switch (key->key())
    {
    case Qt::Key_Period:
    case Qt::Key_Space:
        // A dot ends a non-empty octet; it never goes into the text.
        if (index < 3 && !edit->text().isEmpty() && !edit->hasSelectedText())
            moveTo(index + 1, false);
        return true;
    case Qt::Key_Backspace:
        if (atStart && index > 0)
        {
            moveTo(index - 1, true);
            return true;
        }
        break;
    case Qt::Key_Left:
        if (atStart && index > 0)
        {
            moveTo(index - 1, true);
            return true;
        }
        break;
    case Qt::Key_Right:
        if (atEnd && index < 3)
        {
            moveTo(index + 1, false);
            m_fields[static_cast<std::size_t>(index + 1)]->setCursorPosition(0);
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void CIpAddressCtrl::mousePressEvent(QMouseEvent *event)
{
    // A press on a dot or a margin belongs to the field: it goes to the nearest octet and never
    // reaches the dialog (which would take it for a drag of the window).
    event->accept();
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const int x = event->position().toPoint().x();
    int nearest = 0;
    int best = std::numeric_limits<int>::max();
    for (int i = 0; i < 4; ++i)
    {
        const int distance = std::abs(m_fields[static_cast<std::size_t>(i)]->geometry().center().x() - x);
        if (distance < best)
        {
            best = distance;
            nearest = i;
        }
    }
    moveTo(nearest, true);
}
