#include "cli/Cli.h"
#include "ui/Unit1.h"
#include "gui/Main.h"
