#include "skin/SkinControlId.h"
