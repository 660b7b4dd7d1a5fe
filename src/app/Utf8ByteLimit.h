#pragma once

#include <QString>
#include <QValidator>

// Refuses an edit whose UTF-8 form would pass `bytes`, so that a field holds exactly what a fixed
// protocol field can carry: a character that does not fit whole is not typed at all.
class Utf8ByteLimit : public QValidator
{
public:
    Utf8ByteLimit(int bytes, QObject *parent) : QValidator(parent), m_bytes(bytes) {}
    State validate(QString &input, int &pos) const override;

private:
    int m_bytes;
};

// The longest leading run of whole characters of `text` whose UTF-8 form fits `bytes`.
QByteArray Utf8Prefix(const QString &text, int bytes);
