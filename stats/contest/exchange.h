// Whether a received exchange is acceptable: a 3- or 4-digit serial from anyone (but
// not "599"), or one of the 27 area codes from a Ukrainian station.
#pragma once
#include <string>

int exchangeFieldCount();
bool isValidExchange(const std::string& exchange, const std::string& prefix);
