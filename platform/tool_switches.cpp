#include "platform/tool_switches.h"

PlatformSwitches g_platformSwitches;
