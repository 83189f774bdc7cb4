#include "windows/window_thread.h"

namespace {

// ExitThread as an APC routine: both take one pointer-sized (or smaller) argument by the
// system's own calling convention, and the routine never returns into the caller. Its
// address comes from kernel32 itself: `&ExitThread` may name an import stub inside this
// library, which is unmapped by the time the APC runs.
void queueExit(HANDLE thread) {
    const FARPROC exitThread = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ExitThread");
    if (exitThread) QueueUserAPC(reinterpret_cast<PAPCFUNC>(reinterpret_cast<void (*)()>(exitThread)), thread, 0);
}

// What finished window threads wait on until their exit is queued: never set, and never
// closed, so no finished thread ever waits on a closed handle.
HANDLE parkingEvent() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

}  // namespace

WindowThread::~WindowThread() {
    // The owner stops the thread first; a thread left running here would outlive us.
    if (thread_) stop([] {}, 0);
}

bool WindowThread::running() const { return thread_ && finished_ && WaitForSingleObject(finished_, 0) == WAIT_TIMEOUT; }

bool WindowThread::start(std::function<void()> body) {
    if (thread_) stop([] {}, 5000);
    body_ = std::move(body);
    // Deliberately never closed (one handle per start): a parked thread's wait may be
    // issued again by the system, signal included (Wine does so whenever it delivers an
    // APC to the waiting thread), and a closed handle whose number was reused would then
    // signal another thread's event.
    finished_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!finished_ || !parkingEvent()) return false;
    thread_.reset(CreateThread(nullptr, 0, &WindowThread::entry, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

DWORD WINAPI WindowThread::entry(LPVOID param) {
    auto* self = static_cast<WindowThread*>(param);
    try {
        self->body_();
    } catch (...) {
        // Nothing may leave the thread's entry; the windows are gone either way.
    }
    // The last act: from here on the thread is in the system's wait, never in our code.
    // (Only ExitThread is ever queued to it, so the wait does not return.)
    const HANDLE finished = self->finished_;
    for (;;) SignalObjectAndWait(finished, parkingEvent(), INFINITE, TRUE);
}

bool WindowThread::stop(const std::function<void()>& askToClose, DWORD limitMs) {
    if (!thread_) return true;
    if (WaitForSingleObject(finished_, 0) != WAIT_OBJECT_0) askToClose();
    const ULONGLONG until = GetTickCount64() + limitMs;
    bool finished = false;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= until ? 0 : static_cast<DWORD>(until - now);
        HANDLE h = finished_;
        const DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) {
            finished = true;
            break;
        }
        if (r != WAIT_OBJECT_0 + 1) break;  // the limit, or a failed wait
        // Serve what the window thread may be waiting for: calls on the host's object
        // arrive as messages to this thread.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    release(finished);
    return finished;
}

void WindowThread::release(bool finishedByItself) {
    if (finishedByItself) {
        queueExit(thread_.get());
    } else {
        OutputDebugStringA("Stats: the operator windows' thread did not finish in time and was terminated\n");
        TerminateThread(thread_.get(), 1);
    }
    thread_.reset();
    finished_ = nullptr;
    body_ = nullptr;
}
