#pragma once

// Qt on Linux names a drop-down list by its current item, so a screen reader would say "Z:" with no label.
// Installed once, this names every drop-down list by its accessible name (the template's) and says its current
// item as its value; one without a name is named by its current item, as before.
void InstallComboAccessible();
