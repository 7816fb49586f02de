#include "preview/mainTolvoPreview.h"

#include "containers/PictureCodecs.h"
#include "platform/Error.h"
#include "platform/ProcessRunner.h"
