#pragma once

#include "export/sis/PkgFile.h"
