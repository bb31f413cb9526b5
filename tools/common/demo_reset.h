// Putting the demo back as it was before it loaded, so that it can load and play again in
// the same process (the studio's reloads and seeks, tests that load the demo twice).
//
// The demo itself never does this: it loads once and releases nothing. ResetDemo releases
// the buffers and textures of every object LoadDemo fills, frees the cube tree, returns
// every object to the value it was constructed with, and restarts the random numbers and
// the forest's moves. It leaves the device, the Direct3D object and the audio library alone.
#pragma once

void ResetDemo();
