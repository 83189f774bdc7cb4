#include "windows/window_thread.h"

#include <objbase.h>

#include "platform/diagnostics.h"

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

// Waits for `event`, at most `limitMs`, serving meanwhile what the window thread may
// be waiting for from this thread (see the header). True when the event came.
bool waitServing(HANDLE event, DWORD limitMs) {
    DWORD index = 0;
    const HRESULT hr = CoWaitForMultipleHandles(0, limitMs, 1, &event, &index);
    if (hr == S_OK) return true;
    if (hr == RPC_S_CALLPENDING) return false;  // the limit
    // COM would not wait on this thread (not entered here, on some systems): then no
    // object of the host's lives here, and only messages sent to this thread's windows
    // may need an answer. A failure must not end the wait early: a stop would then
    // terminate a thread that was about to finish.
    const ULONGLONG until = GetTickCount64() + limitMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= until ? 0 : static_cast<DWORD>(until - now);
        const DWORD r = MsgWaitForMultipleObjects(1, &event, FALSE, left, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;  // the limit, or a failed wait
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // serves the sent ones
    }
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
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!finished_ || !ready_ || !parkingEvent()) return false;
    thread_.reset(CreateThread(nullptr, 0, &WindowThread::entry, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

DWORD WINAPI WindowThread::entry(LPVOID param) {
    auto* self = static_cast<WindowThread*>(param);
    try {
        self->body_();
    } catch (...) {
        // Nothing may leave the thread's entry; the windows are gone either way.
        reportCaught(defaultDiagnostics(), "the operator windows' thread");
    }
    // A body that ended early (a failure, an early stop) never said it was ready.
    self->signalReady();
    // The last act: from here on the thread is in the system's wait, never in our code.
    // (Only ExitThread is ever queued to it, so the wait does not return.)
    const HANDLE finished = self->finished_;
    for (;;) SignalObjectAndWait(finished, parkingEvent(), INFINITE, TRUE);
}

void WindowThread::signalReady() {
    if (ready_) SetEvent(ready_.get());
}

bool WindowThread::waitReady(DWORD limitMs) { return thread_ && ready_ && waitServing(ready_.get(), limitMs); }

bool WindowThread::stop(const std::function<void()>& askToClose, DWORD limitMs) {
    if (!thread_) return true;
    if (WaitForSingleObject(finished_, 0) != WAIT_OBJECT_0) askToClose();
    const bool finished = waitServing(finished_, limitMs);
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
    ready_.reset();
    finished_ = nullptr;
    body_ = nullptr;
}
