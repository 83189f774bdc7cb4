#include "exchange.h"

#include "tables.h"

int exchangeFieldCount() { return 1; }

int isValidExchange(const std::string& exchange, const std::string& prefix) {
    if (exchange == "599") return 0;
    if (exchange.size() == 3 || exchange.size() == 4) {
        for (char c : exchange)
            if (c < '0' || c > '9') return 0;
        return 1;
    }
    if (prefix == "UR" && exchange.size() == 2 && isAreaCode(exchange)) return 1;
    return 0;
}
