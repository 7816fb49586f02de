#include "platform/Process.h"
#include "platform/Error.h"
#include "core/SkinFile.h"
