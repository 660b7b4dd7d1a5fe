#pragma once

class DialogTemplateBuilder;

namespace izuzez::gallery
{

// Sample content so that the pictures show the dialogs in use rather than empty.
void FillSampleContent(int templateNumber, DialogTemplateBuilder &form);

} // namespace izuzez::gallery
