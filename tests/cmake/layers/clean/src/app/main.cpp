#include "app/cli/Cli.h"
#include "startup/Start.h"
#include "ui/Unit1.h"
