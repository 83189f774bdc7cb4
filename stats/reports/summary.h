// The result summary the host shows: plain text with TABs and CR LF, or a small HTML
// document once the host has announced itself.
#pragma once
#include <string>

#include "contest/figures.h"
#include "contest/state.h"

std::string buildSummary(const ScoreFigures& f, const ContestData& d);
