#include "app/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

QString ApplicationTitle()
{
    const QString path = QCoreApplication::applicationFilePath();
    // Without the ".exe" that the name has elsewhere, the base name here is the whole file name.
    const QString base = path.isEmpty() ? QString() : QFileInfo(path).fileName();
    return base.isEmpty() ? QStringLiteral("izuzez-utility") : base;
}

void ShowMessage(QWidget *owner, std::string_view text, std::string_view caption, MessageIcon icon)
{
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon)
    {
    case MessageIcon::Stop:
        shown = QMessageBox::Critical;
        break;
    case MessageIcon::Exclamation:
        shown = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        shown = QMessageBox::Information;
        break;
    case MessageIcon::None:
        break;
    }
    const QString title = caption.empty() ? ApplicationTitle()
                                          : QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    QMessageBox box(shown, title, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void ShowMessage(QWidget *owner, const izuzez::services::LanMessage &message)
{
    ShowMessage(owner, message.text, message.caption, message.icon);
}
