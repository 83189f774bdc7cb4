// Bands and modes as the host names them: "20m", "RTTY", "BPSK63".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace replay {

// Band of a frequency in Hz, "" outside the amateur bands we know.
std::string bandFromHz(uint64_t hz);

// Lower edge of a band named as the host names it ("20m" -> 14000000); 0 for a name
// we do not know.
uint64_t bandLowerEdgeHz(std::string_view band);

// A Cabrillo frequency field: kHz ("14080", "14080.5") for HF, or a band designator
// ("50", "144", "1.2G", "LIGHT") above. False when it is neither; band may stay empty
// for a number outside every band (the plug-in decides what to do with such a QSO).
bool parseCabrilloFrequency(std::string_view field, uint64_t& hz, std::string& band);

// A band as a log or the command line writes it: "20M", "20m" or "20" -> "20m".
std::string normalizeBand(std::string_view band);

// Cabrillo mode codes: RY is RTTY, PK is BPSK63; anything else goes through unchanged.
std::string modeFromCabrillo(std::string_view code);
// ADIF MODE/SUBMODE: RTTY, and PSK63 in either spelling or field, become the host's names;
// otherwise the submode if given, else the mode.
std::string modeFromAdif(std::string_view mode, std::string_view submode);

}  // namespace replay
