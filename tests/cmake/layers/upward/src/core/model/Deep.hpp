#pragma once
#include "platform/FileOps.h"
#include "containers/Bmp.h"
