#include "timeline/timeline.h"

#include "app/app.h"

void RenderFrame() {
  BeginFrame();
  EndFrame();
}
