#include "skin/CSkinVertScroll.h"
