#pragma once
#include "platform/Error.h"
