// The figures of one score computation, in the order the summary lays them out.
#pragma once
#include <string>
#include <vector>

// One band's figures, or the totals.
struct BandRow {
    std::string band;
    int qsos = 0, points = 0, dxcc = 0, areas = 0, rttyQsos = 0, bpskQsos = 0;
};

// 32-bit figures as the host shows them.
struct ScoreFigures {
    std::vector<BandRow> bands;  // in the order of the sorted worked bands
    BandRow total;
    int dupes = 0, badQsoCount = 0, score = 0, lastQsoPoints = 0;
    int qsos60 = 0, points60 = 0, qsos10 = 0, points10 = 0;
};
