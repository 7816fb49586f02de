# The layer ladder: which layers each layer's sources may include, as "<layer>/File.h" paths
# relative to src/. A layer may always include its own headers; a sub-folder such as
# export/sis/ belongs to its top folder's layer. CheckLayers.cmake enforces this on every
# configure and build, so this file is the one place the ladder is written down.
#
# Layers are listed bottom-up and may only lean on layers listed before them; the check
# refuses a ladder that breaks that order, so an edit here cannot sneak in a cycle.

set(VELMORA_LAYERS platform core containers document preview export startup ui gui cli)

set(VELMORA_LAYER_platform_MAY_INCLUDE "")
set(VELMORA_LAYER_core_MAY_INCLUDE platform)
set(VELMORA_LAYER_containers_MAY_INCLUDE core platform)
# document and preview get at files and other programs only through the layers below them,
# never through platform directly.
set(VELMORA_LAYER_document_MAY_INCLUDE containers core)
set(VELMORA_LAYER_preview_MAY_INCLUDE document containers core)
set(VELMORA_LAYER_export_MAY_INCLUDE preview document containers core platform)
set(VELMORA_LAYER_startup_MAY_INCLUDE preview document containers core platform)
set(VELMORA_LAYER_ui_MAY_INCLUDE startup export preview document containers core platform)
# The window's program and the command line sit side by side at the top: neither may include
# the other, so the command line never grows a dependency on the widgets.
set(VELMORA_LAYER_gui_MAY_INCLUDE ui startup export preview document containers core platform)
set(VELMORA_LAYER_cli_MAY_INCLUDE startup export preview document containers core platform)

# Headers any layer may include whatever the ladder says. platform/Error.h is the shared,
# header-only error type that every layer reports failures with.
set(VELMORA_LAYER_SHARED_HEADERS platform/Error.h)

# The programs under tools/ (one folder each) and the layers of src/ each may include. A tool's
# own headers ("bmconv/File.h") and the shared "common/" ones are its business; the package
# tools reach the .sis library, which lives in export/sis/.
set(VELMORA_TOOLS bmconv makesis signsis common mkresources icons)
set(VELMORA_TOOL_bmconv_MAY_INCLUDE platform)
set(VELMORA_TOOL_makesis_MAY_INCLUDE export platform)
set(VELMORA_TOOL_signsis_MAY_INCLUDE export platform)
set(VELMORA_TOOL_common_MAY_INCLUDE platform)
set(VELMORA_TOOL_mkresources_MAY_INCLUDE containers core platform)
set(VELMORA_TOOL_icons_MAY_INCLUDE ui)
