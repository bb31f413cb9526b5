// The five camera moves through the forest glade (75 to 124 s of demo time).
//
// Each move measures its own duration from the frame in which it began and hands over to
// the next once that duration has passed (strictly), at most once per frame; the new move
// takes its start time in the following frame. The figure joins in the last three moves.
// The sequence runs once per run: nothing resets it.
#pragma once

// The current move, 1 to 5; starts at 1.
extern int g_forestPhase;
// Demo time at which the current move began; 0 until its first frame takes it.
extern float g_forestPhaseStart;

// One frame of the glade: aims and applies g_camera, draws the figure where the move has
// one, draws the forest, then tests for the hand-over.
void ForestSequence();
