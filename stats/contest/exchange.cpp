#include "contest/exchange.h"

#include "contest/tables.h"

int exchangeFieldCount() { return 1; }

bool isValidExchange(const std::string& exchange, const std::string& prefix) {
    if (exchange == "599") return false;
    if (exchange.size() == 3 || exchange.size() == 4) {
        for (char c : exchange)
            if (c < '0' || c > '9') return false;
        return true;
    }
    if (prefix == "UR" && exchange.size() == 2 && isAreaCode(exchange)) return true;
    return false;
}
