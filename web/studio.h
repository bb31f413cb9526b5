// The studio in the page (index.html?studio): the demo with a transport that the page
// drives. The page's keys and seek bar call the module's exported StudioSeek and
// StudioPause; the loop takes them up before its next frame. It tells the page the
// schedule's section starts and the demo's end once (Module.onStudioSections(seconds[],
// end)), and the demo time after every frame and pause (Module.onStudioFrame(seconds,
// paused)).
//
// Seeking to T is the capture tool's way to a still: the demo loaded again from scratch and
// the frames before T run at 60 frames per second with drawing skipped, so the frame shown
// at T, paused, is `emberhall-capture --at T` with the same uptime. Seek targets lie on that
// 1/60 s grid, between 0 and the demo's end. While playing the demo time follows the page's
// clock; paused, no frame runs, so the picture stands still. The music, when the page plays
// any, follows: paused with the demo, moved to T by a seek. The loop never ends by itself.
#pragma once

// Runs the studio from demo time `at`, paused or playing, with the uptime clock reading
// `uptimeSeconds` at demo time 0.
void RunStudio(double at, bool paused, double uptimeSeconds);
