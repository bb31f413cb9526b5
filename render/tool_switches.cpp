#include "render/tool_switches.h"

RenderSwitches g_renderSwitches;
