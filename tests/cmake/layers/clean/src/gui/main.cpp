#include "export/SaveSkin.h"
#include "startup/Start.h"
#include "ui/Unit1.h"
