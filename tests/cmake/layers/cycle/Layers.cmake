# A broken ladder: core leans on ui, which sits above it.
set(VELMORA_LAYERS platform core ui)
set(VELMORA_LAYER_platform_MAY_INCLUDE "")
set(VELMORA_LAYER_core_MAY_INCLUDE platform ui)
set(VELMORA_LAYER_ui_MAY_INCLUDE core platform)
set(VELMORA_LAYER_SHARED_HEADERS "")
