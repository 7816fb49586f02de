#include "bmconv/Bmp.h"
#include "platform/SafeWrite.h"
#include "core/SkinFile.h"
