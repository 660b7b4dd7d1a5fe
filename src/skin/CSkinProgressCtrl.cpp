#include "skin/CSkinProgressCtrl.h"
