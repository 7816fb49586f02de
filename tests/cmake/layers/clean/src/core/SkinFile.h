#pragma once
#include "platform/Error.h"
#include "platform/FileOps.h"
