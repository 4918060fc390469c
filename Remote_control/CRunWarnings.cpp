#include "CRunWarnings.h"

#include "RcMessages.h"

#include <deque>
#include <mutex>

namespace {

// More would only follow each other as balloons faster than anyone reads.
constexpr std::size_t KEPT_WARNINGS = 8;

std::mutex& Lock() {
    static std::mutex mutex;
    return mutex;
}

std::deque<CRunWarnings::Report>& Kept() {
    static std::deque<CRunWarnings::Report> warnings;
    return warnings;
}

} // namespace

void CRunWarnings::Tell(HWND hNotify, const Report& report) {
    {
        const std::lock_guard<std::mutex> lock(Lock());
        Kept().push_back(report);
        if (Kept().size() > KEPT_WARNINGS) {
            Kept().pop_front();
        }
    }
    PostMessageW(hNotify, WM_RC_RUN_WARNING, 0, 0);
}

std::vector<CRunWarnings::Report> CRunWarnings::Take() {
    const std::lock_guard<std::mutex> lock(Lock());
    std::vector<Report> warnings(Kept().begin(), Kept().end());
    Kept().clear();
    return warnings;
}
