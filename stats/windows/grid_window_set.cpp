#include "windows/grid_window_set.h"
struct GridWindowSet::Windows {};
GridWindowSet::GridWindowSet(ContestState& state, Settings& settings, const WatchView& view)
    : state_(state), settings_(settings), view_(view) {}
GridWindowSet::~GridWindowSet() = default;
void GridWindowSet::closeDxcc() {}
void GridWindowSet::closeArea() {}
bool GridWindowSet::bandChangeOpen() const { return false; }
void GridWindowSet::openBandChange(std::function<void(LampPaint)>) {}
void GridWindowSet::closeBandChange() {}
void GridWindowSet::rearmBandChange(unsigned) {}
void GridWindowSet::closeAll() {}
bool GridWindowSet::dxccOpen() { return false; }
void GridWindowSet::openDxcc() {}
bool GridWindowSet::areaOpen() { return false; }
void GridWindowSet::openArea(bool) {}
void GridWindowSet::setDxccTitle(const std::string&) {}
void GridWindowSet::setAreaTitle(const std::string&) {}
void GridWindowSet::clearAreaMarks() {}
void GridWindowSet::markAreaWorked(const std::string&) {}
void GridWindowSet::refreshAreaBoxes() {}
void GridWindowSet::repaintDxccTable() {}
