#include "skin/CSkinHeaderCtrl.h"
