#include "skin/CSkinDialog.h"
