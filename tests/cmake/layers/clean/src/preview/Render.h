#pragma once
#include "core/ColourScheme.h"
