#pragma once

#include "skin/CSkinDialog.h"
#include "skin/DialogTemplateBuilder.h"

// Builds template `number` into the dialog and gives it the template's skin; the form then hands out the
// controls. A missing or broken template leaves the dialog bare and the form without controls.
inline bool BuildSkinnedDialog(DialogTemplateBuilder &form, int number, CSkinDialog *dialog)
{
    if (!form.Load(number) || !form.Build(dialog))
        return false;
    form.ApplySkin(dialog);
    return true;
}
