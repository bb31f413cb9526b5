// The demo's score: RenderFrame draws exactly one frame of the schedule.
#pragma once

void RenderFrame();
