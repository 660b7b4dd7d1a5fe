#include "skin/SkinBitmaps.h"
