#pragma once

#include <QFrame>

#include <array>
#include <cstdint>

class QLineEdit;

// Four-octet IPv4 field in the manner of the classic IP address control: each octet is its own
// field, typing three digits or a dot moves on, values above 255 become 255, and Backspace at
// the start of a field goes back to the previous one. The whole field is one Tab stop: Tab and
// Shift+Tab leave it, the period and the arrow keys move between octets. Each octet carries the
// field's accessible name, so a screen reader says "IP" wherever the focus is in it.
class CIpAddressCtrl : public QFrame
{
    Q_OBJECT

public:
    explicit CIpAddressCtrl(QWidget *parent = nullptr);

    // First octet in the highest byte, as the 32-bit address that dotted text denotes.
    void SetAddress(std::uint32_t address);
    void SetAddress(int field0, int field1, int field2, int field3);
    // Number of non-blank fields; blank fields count as 0 in address.
    int GetAddress(std::uint32_t &address) const;
    void ClearAddress();
    bool IsBlank() const;

    // Dotted text with blank fields as 0, or empty when every field is blank.
    QString text() const;
    // Takes "a.b.c.d" (each 0..255); leaves the fields unchanged and returns false otherwise.
    bool setText(const QString &dotted);

    void SetFieldFocus(int field);
    QLineEdit *field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }

signals:
    void addressChanged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int indexOf(const QObject *field) const;
    void onEdited(int index);
    void moveTo(int index, bool atEnd);
    void nameFields();

    std::array<QLineEdit *, 4> m_fields{};
};
