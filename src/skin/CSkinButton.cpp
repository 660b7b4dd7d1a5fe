#include "skin/CSkinButton.h"
