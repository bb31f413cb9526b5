#include "timeline/tool_switches.h"

TimelineSwitches g_timelineSwitches;
