// voziv: charts du's output as a PostScript page or EPS figure.
//
//     du -k /usr/share | voziv > usage.ps

#include <unistd.h>

#include <cstring>
#include <new>

#include "chart/document.hpp"
#include "chart/output.hpp"
#include "chart/print_text.hpp"
#include "common/failure.hpp"
#include "settings/command_line.hpp"

namespace {

// What the document has written so far stays on standard output; then the
// one message, and after a bad argument the usage text.
int reportFailure(const char* message, int status, bool showUsage) {
    try {
        voziv::flushOutput();
    } catch (const voziv::Failure&) {
        // The run already failed; its own message is the one to report.
    }
    ssize_t ignored = ::write(STDERR_FILENO, message, std::strlen(message));
    (void)ignored;
    if (showUsage) {
        try {
            voziv::printText(voziv::usageText);
            voziv::flushOutput();
        } catch (const voziv::Failure&) {
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return voziv::runChart(argc, argv);
    } catch (const voziv::Failure& failure) {
        return reportFailure(failure.message.c_str(), failure.status, failure.showUsage);
    } catch (const std::bad_alloc&) {
        return reportFailure(voziv::noMemoryMessage, voziv::exitNoMemory, false);
    }
}
