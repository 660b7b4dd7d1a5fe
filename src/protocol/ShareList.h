#pragma once

#include <string_view>

// The share-name list of g_ProtocolState.

// Splits a ':'-separated reply text into the list: empty pieces are skipped, a name already listed is not
// added again, names are cut to 255 bytes. Appends to what is there.
void FillShareNameList(std::string_view text);

void FreeShareNameList();
