#include "app/Utf8ByteLimit.h"

#include <QStringView>

QValidator::State Utf8ByteLimit::validate(QString &input, int &) const
{
    return input.toUtf8().size() <= m_bytes ? Acceptable : Invalid;
}

QByteArray Utf8Prefix(const QString &text, int bytes)
{
    QByteArray result;
    for (qsizetype i = 0; i < text.size();)
    {
        // A surrogate pair is one character.
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = QStringView(text).mid(i, length).toUtf8();
        if (result.size() + character.size() > bytes)
            break;
        result += character;
        i += length;
    }
    return result;
}
