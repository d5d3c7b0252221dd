// What the host tells about its transport, as the arpeggiator's clock reads
// it: whether it plays, its tempo, where it is and the loop it cycles in.
// Positions are in quarter notes from the song's start. Every plug-in
// format fills all of it from its own time information.
#pragma once

struct TransportInfo {
    bool playing;
    bool loopActive;
    double tempo;        // quarter notes per minute, as the host gives it
    double beatPosition; // at the block's first sample
    double loopStart;
    double loopEnd;
};
