#include "skin/CSkinListCtrl.h"
