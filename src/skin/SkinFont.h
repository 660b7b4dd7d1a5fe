#pragma once

#include <QFont>
#include <QString>

// A font asked for by its cell height, as a positive LOGFONT height: ascent and descent together,
// not the size of the letters. The pixel size is the largest at which the face that Qt actually
// resolves for `family` keeps its whole cell, descenders included, inside cellHeight pixels.
QFont FontForCellHeight(const QString &family, int cellHeight);
