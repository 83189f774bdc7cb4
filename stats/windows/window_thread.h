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
// - While the host's thread holds the loader lock, a thread that needs it cannot finish:
//   one still starting (a new thread announces itself to every module under that lock),
//   or one looking up a resource, loading a module, or binding to and first calling the
//   host's object. So start() is followed by waitReady(): the host's thread waits
//   (serving the window thread's calls) until the window thread says it has done all of
//   that, which it does once its windows are up, its first refresh has called the host
//   and it has looked up everything it may open later (CDialogBase keeps templates and
//   icons). An unload that follows a reset at once then finds a thread that can finish.
//   (Saying ready before the first refresh is too early: under Wine, an unload at once
//   then still found half the threads unable to finish.)
// - A window thread that does not finish within the time limit (the last line of
//   defence) is terminated, and said so: a thread running our code after the unmap
//   would crash the host.
//
// Every wait of the host's thread serves only what the window thread may be waiting
// for: calls on the host's object (COM brings them as messages to the apartment's own
// window) and messages sent to the host's windows. The host's other messages stay
// queued. The calls served are the host's code, which may call an export back (a macro
// handler checking a call, say): the waiting export holds no lock, so that call is
// served as any other.
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
    // On the window thread: what the host's thread waits for after start() is done.
    void signalReady();
    // On the host's thread after start(): waits until the thread has signalled ready
    // or has finished, at most `limitMs`. True when it did.
    bool waitReady(DWORD limitMs = 5000);
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
    // Set by the window thread when it is up (or finishing); closed when the thread is
    // released, by which time the thread no longer touches it.
    win32::KernelHandle ready_;
    std::function<void()> body_;
};
