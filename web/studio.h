// The studio in the page (index.html?studio): the demo with the tools' transport
// (tools/common/transport.h), the same one the window's studio uses: its keys, sections,
// loop, ends and time text. The page hands every key press to the module's exported
// StudioKey (the browser's key codes are the platform's virtual keys) and seek-bar moves to
// StudioSeekTo; the loop takes them up before its next frame. It tells the page the
// schedule's section starts and the demo's end once (Module.onStudioSections(seconds[],
// end)), and the transport's state after every frame and key (Module.onStudioFrame({time,
// text, paused, loopIn, loopOut, loopOn, bar, message})), from which the page draws its bar.
//
// Seeks are the tools' (tools/common/playback.h): the frame shown at T, paused, is
// `emberhall-capture --at T` with the same uptime; while one runs the canvas keeps the last
// frame. The music follows through the audio library's calls. Esc or Q ends the studio.
#pragma once

// Runs the studio from demo time `at`, paused or playing, with the uptime clock reading
// `uptimeSeconds` at demo time 0.
void RunStudio(double at, bool paused, double uptimeSeconds);
