#include "skin/CSkinMemDC.h"
