// One copy of the program per folder: two copies on one configuration file
// would save over each other. The lock needs no write access to the folder
// and cannot outlive a crash (a local socket, a named mutex or pipe), and its
// name comes from the folder's canonical path.
#pragma once

#include <functional>

namespace platform {

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when this copy is now the only one on its folder. False when
    // another copy runs there; that copy has been asked to come to the front.
    virtual bool Acquire() = 0;

    // Called on the window's thread when a later copy asks this one to come to the front.
    std::function<void()> onActivate;
};

}  // namespace platform
