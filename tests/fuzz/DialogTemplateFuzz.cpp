// The dialog template loader.
#include <QByteArray>

#include "skin/DialogTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString error;
    const std::optional<DialogTemplate> parsed =
        ParseDialogTemplate(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), &error);
    if (parsed)
    {
        for (const DialogControlTemplate &control : parsed->controls)
            control.buttonStyle();
    }
    return 0;
}
