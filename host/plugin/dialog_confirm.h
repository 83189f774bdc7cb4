// On Windows the plug-in's export opens its Cabrillo header dialog and then the "File
// produced" notice, and both wait for the operator. With --no-dialog a watcher presses
// OK on each as it opens, as an operator who accepts the values shown would. Elsewhere
// the plug-in confirms the dialog by itself and there is nothing to watch.
#pragma once
#include <memory>

namespace replay {

class DialogConfirmer {
public:
    DialogConfirmer();   // starts watching this process's windows
    ~DialogConfirmer();  // stops
    DialogConfirmer(const DialogConfirmer&) = delete;
    DialogConfirmer& operator=(const DialogConfirmer&) = delete;

private:
    struct Watcher;
    std::unique_ptr<Watcher> watcher_;
};

}  // namespace replay
