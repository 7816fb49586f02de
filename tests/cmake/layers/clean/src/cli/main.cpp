#include "cli/Cli.h"
#include "export/SaveSkin.h"
#include "startup/Start.h"
