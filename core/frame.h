// The frame bracket every frame of the schedule runs between.
#pragma once

// Clear to the background colour and depth 1, then begin the scene.
void BeginFrame();
// End the scene and present it.
void EndFrame();
