// One random user session against the model: the program started on a fresh copy of the default
// archive in a look the seed chooses, actions played with real input, closes and restarts, and
// after each restart the files compared with the model.
#pragma once

#include <string>
#include <vector>

namespace soak {

// Kinds of action a session may leave out: those of a fault known and being mended.
struct Avoid {
    bool closeTypeahead = false; // a close typed ahead of a dialog's work
    bool renameAtClose = false;  // a close while a rename is typed in the tree
    bool keysPopup = false;      // the tree's pop-up by Shift+F10 with its keys typed ahead
    bool blankTitles = false;    // titles typed with blanks at both ends
    bool namedTree = false;      // form.ini naming a saved tree at the start
    bool kill = false;           // the program killed
};

struct Outcome {
    // Each difference from the model, in turn; after one that is not a file's the session stops
    // (Stopped).
    std::vector<std::string> divergences;
    bool stopped = false;
    std::vector<std::string> log;
    double seconds = 0;
};

// Plays the session; LimitS bounds it: past that the program is ended and the session diverges.
Outcome RunSession(unsigned Seed, int Actions, const Avoid& Avoid, int LimitS);

} // namespace soak
