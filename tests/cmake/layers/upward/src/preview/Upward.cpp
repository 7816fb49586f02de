#include "preview/Upward.h"
#include "core/SkinFile.h"
#include <ui/System.h>
#include "ui/MainWindow.h"
#if defined(VELMORA_FIXTURE)
#  include "ui/Dialog.h"
#else
  #include "ui/Dialog.h"
#endif
