#include "core/tool_switches.h"

CoreSwitches g_coreSwitches;
