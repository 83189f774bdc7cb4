#include "windows/grid_window_set.h"

namespace {

// An object whose window is gone (destroyed behind the set's back) counts as closed
// and is let go, so that the next opening makes a fresh one.
template <typename Window>
bool stillOpen(std::unique_ptr<Window>& w) {
    if (w && !w->window()) w.reset();
    return static_cast<bool>(w);
}

}  // namespace

GridWindowSet::GridWindowSet(ContestState& state, const Settings& settings, Clock& clock)
    : state_(state), settings_(settings), clock_(clock) {}

GridWindowSet::~GridWindowSet() { closeAll(); }

void GridWindowSet::setView(const WatchView* view) {
    view_ = view;
    if (dxccOpen()) dxcc_->setView(view);
}

bool GridWindowSet::dxccOpen() { return stillOpen(dxcc_); }

void GridWindowSet::openDxcc() {
    if (dxccOpen()) return;
    auto w = std::make_unique<Multiplier>(state_, settings_);
    w->setView(view_);
    if (w->open(onTop_)) dxcc_ = std::move(w);
}

bool GridWindowSet::areaOpen() { return stillOpen(area_); }

void GridWindowSet::openArea(bool showKrAndSl) {
    if (areaOpen()) return;
    auto w = std::make_unique<Obl>(state_, settings_);
    if (w->open(onTop_, showKrAndSl)) area_ = std::move(w);
}

void GridWindowSet::setDxccTitle(const std::string& title) {
    if (dxccOpen()) dxcc_->setTitle(title);
}

void GridWindowSet::setAreaTitle(const std::string& title) {
    if (areaOpen()) area_->setTitle(title);
}

void GridWindowSet::clearAreaMarks() {
    if (areaOpen()) area_->clearAreaMarks();
}

void GridWindowSet::markAreaWorked(const std::string& code) {
    if (areaOpen()) area_->markAreaWorked(code);
}

void GridWindowSet::refreshAreaBoxes() {
    if (areaOpen()) area_->refreshBoxes();
}

void GridWindowSet::repaintDxccTable() {
    if (dxccOpen()) dxcc_->repaintTable();
}

void GridWindowSet::closeDxcc() { dxcc_.reset(); }

void GridWindowSet::closeArea() { area_.reset(); }

bool GridWindowSet::bandChangeOpen() { return stillOpen(bandChange_); }

bool GridWindowSet::openBandChange(Change_Band::LampPainter paint) {
    if (bandChangeOpen()) return false;
    auto w = std::make_unique<Change_Band>(state_, settings_, clock_);
    if (!w->open(std::move(paint))) return false;
    bandChange_ = std::move(w);
    return true;
}

void GridWindowSet::closeBandChange() { bandChange_.reset(); }

void GridWindowSet::startBandChangeTimer(UINT periodMs) {
    if (bandChangeOpen()) bandChange_->start(periodMs);
}

void GridWindowSet::stopBandChangeTimer() {
    if (bandChangeOpen()) bandChange_->stop();
}

void GridWindowSet::closeAll() {
    closeBandChange();
    closeDxcc();
    closeArea();
}
