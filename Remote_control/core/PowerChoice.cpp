#include "PowerChoice.h"

namespace {

constexpr std::uint32_t APPLICATION_CODE = 0x20000000u;
constexpr std::uint32_t POWER_CODES = APPLICATION_CODE | 0x00480000u;

} // namespace

PowerChoice::Choice PowerChoice::ForSleep(const Capabilities& capabilities) {
    // Where both exist, the classic state is the one SetSuspendState enters.
    if (capabilities.bS1 || capabilities.bS2 || capabilities.bS3) {
        return {Means::Suspend, Refusal::None};
    }
    if (capabilities.bAoAc) {
        return {Means::DisplayOff, Refusal::None};
    }
    return {Means::Refused, Refusal::NoSleepState};
}

PowerChoice::Choice PowerChoice::ForHibernate(const Capabilities& capabilities) {
    if (!capabilities.bS4) {
        return {Means::Refused, Refusal::NoHibernateState};
    }
    // "powercfg /hibernate off" removes the file and leaves S4 reported.
    if (!capabilities.bHiberFilePresent) {
        return {Means::Refused, Refusal::HibernationOff};
    }
    return {Means::Hibernate, Refusal::None};
}

std::uint32_t PowerChoice::CodeOf(Refusal refusal) {
    return refusal == Refusal::None ? 0u : POWER_CODES | static_cast<std::uint32_t>(refusal);
}

PowerChoice::Refusal PowerChoice::RefusalOf(std::uint32_t nCode) {
    if ((nCode & ~0xFFu) != POWER_CODES) {
        return Refusal::None;
    }
    switch (static_cast<Refusal>(nCode & 0xFFu)) {
    case Refusal::NoSleepState:
        return Refusal::NoSleepState;
    case Refusal::NoHibernateState:
        return Refusal::NoHibernateState;
    case Refusal::HibernationOff:
        return Refusal::HibernationOff;
    case Refusal::None:
        break;
    }
    return Refusal::None;
}

std::string PowerChoice::ReasonOf(Refusal refusal) {
    switch (refusal) {
    case Refusal::NoSleepState:
        return "This PC offers neither a sleep state (S1-S3) nor Modern Standby.";
    case Refusal::NoHibernateState:
        return "This PC does not support hibernation.";
    case Refusal::HibernationOff:
        return "Hibernation is switched off on this PC (\"powercfg /hibernate on\" as "
               "administrator turns it on).";
    case Refusal::None:
        break;
    }
    return std::string();
}
