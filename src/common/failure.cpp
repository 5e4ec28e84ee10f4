#include "common/failure.hpp"

#include <utility>

namespace voziv {

void fail(std::string message, int status, bool showUsage) {
    throw Failure{std::move(message), status, showUsage};
}

}  // namespace voziv
