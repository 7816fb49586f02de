#include "export/sis/PkgFile.h"
#include "common/Options.h"
#include "ui/Unit1.h"
