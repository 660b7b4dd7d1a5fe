#include "skin/SkinRegions.h"
