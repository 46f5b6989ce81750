// The countdown's cues, played on a thread of their own: the window asks for a
// cue and goes on at once, so no tick, click or clock second waits on sound.
#pragma once

#include <string>

namespace platform {

// What start-up learns of a configured cue, to tell the time-keeper before the
// debate rather than by a silent hall.
enum class CueFault {
    None,               // plays as it is (an empty name plays the built-in tone)
    Missing,            // no file by that name, as written or beside the program
    NotAFile,           // a folder, a pipe or a device: never opened
    Unplayable,         // a file that does not decode as sound; the built-in tone plays instead
    UnsupportedFormat,  // a sound format this edition does not play; the built-in tone plays instead
    TooLong,            // plays, but is cut at kLongestCueSeconds
};

struct CueCheck {
    CueFault fault = CueFault::None;
    // The file that would be played; for a missing one, where it belongs
    // beside the program; empty for an empty name.
    std::string path;
    double seconds = 0;    // its length, when known
};

class CueQueue {
public:
    // A cue longer than this is cut here: a bell must not outlast the next speech.
    static constexpr double kLongestCueSeconds = 10;

    virtual ~CueQueue() = default;
    // Asks for a cue and returns at once. Cues play in the order asked for,
    // each when asked for or when the one before it ends; at most one waits
    // behind the one playing, and a newer request replaces a waiting one.
    // An empty name or a file that cannot be played gives a short built-in
    // tone; with no audio device the cue is skipped.
    virtual void Play(const std::string& name) = 0;
    // Forgets a waiting cue (the page was left or reset); a playing one finishes.
    virtual void DropWaiting() = 0;
    // The program is closing: stops the playing cue at once and forgets the rest.
    virtual void StopAll() = 0;
    // What would play for `name`, without playing it. Opens regular files
    // only, and reads no more than a file's header and first block; called at start-up.
    virtual CueCheck Check(const std::string& name) = 0;
};

}  // namespace platform
