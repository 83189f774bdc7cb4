// What other code may post to the grid windows, by the handles the state publishes
// (SharedFlags::areaWindow, SharedFlags::bandChangeWindow): the host's thread never
// calls a window of the operator thread directly, it posts one of these. A message to
// a window that has closed meanwhile is lost, which is what it would have asked for.
#pragma once
#include <windows.h>

// The band-change window's timer and its usual period.
constexpr UINT_PTR kBandChangeTimerId = 1445;
constexpr UINT kBandChangePeriodMs = 1000;
// The period a new change warning re-arms the timer with, so the lamp reacts sooner.
constexpr UINT kBandChangeWarningPeriodMs = 300;

// To the area window: clear every worked mark (lamps green). Both parameters 0.
constexpr UINT kClearAreaMarksMessage = WM_APP + 1;
// To the band-change window: start the timer again, with the period in wParam
// (milliseconds; 0 stands for kBandChangeWarningPeriodMs).
constexpr UINT kRearmBandChangeTimerMessage = WM_APP + 2;
