#include "skin/CSkinHorzScroll.h"
