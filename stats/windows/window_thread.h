// The thread the operator windows live on, and how it ends without ever hanging the
// host or running the plug-in's code after the library is gone.
//
// The host unloads the library from its own thread while holding the loader lock, and
// the window thread may at that moment be inside a call on the host's automation
// object, which the host's thread serves only while it pumps messages. So the host's
// thread never waits for the window thread's handle (a thread's exit needs the loader
// lock) and never waits without pumping:
//
// - stop() asks the windows to close by posted messages and then waits for the event
//   `finished`, pumping the host thread's messages meanwhile, so calls that the window
//   thread makes on the host's object (the last refresh, releasing the object, COM's
//   own wind-up) are served.
// - The window thread winds everything up (windows, the host's object, COM) while the
//   library is still loaded, then signals `finished` and starts waiting in one atomic
//   call (SignalObjectAndWait), alertable. From the moment the host's thread sees
//   `finished`, the window thread is inside the system's wait and runs no code of ours.
// - stop() then queues ExitThread to it as an APC: the thread leaves through the system
//   alone, after the loader lock is released if it is held. Nothing of ours is on its
//   way out, so the library may be unmapped at once.
// - A window thread that does not finish within the time limit (it cannot happen with
//   the windows above; it is the last line of defence) is terminated, and said so: a
//   thread running our code after the unmap would crash the host.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

#include "win32_owners.h"

class WindowThread {
public:
    WindowThread() = default;
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    ~WindowThread();

    // Starts `body` on a new thread (after stopping a running one). The body runs the
    // windows' message loop and returns when they have closed; COM is the body's.
    bool start(std::function<void()> body);
    // Closes the windows through `askToClose` (called on this thread; it must only post)
    // and waits, pumping, until the thread has wound up; then lets it go. At most
    // `limitMs`. True when the thread finished by itself.
    bool stop(const std::function<void()>& askToClose, DWORD limitMs = 5000);
    // A thread was started and has not finished.
    bool running() const;

private:
    static DWORD WINAPI entry(LPVOID self);
    void release(bool finishedByItself);

    win32::KernelHandle thread_;
    HANDLE finished_ = nullptr;  // set by the window thread as its last act; never closed
    std::function<void()> body_;
};
