// How Sleep and Hibernate are carried out on this PC, or why they cannot be,
// from the power capabilities Windows reports. A PC with Modern Standby has no
// S1-S3 state: Windows' own Sleep there turns the display off, after which
// the PC enters standby. No operating system here: the capabilities come in.
#pragma once

#include <cstdint>
#include <string>

class PowerChoice {
public:
    // The fields of SYSTEM_POWER_CAPABILITIES that decide.
    struct Capabilities {
        bool bS1 = false;
        bool bS2 = false;
        bool bS3 = false;
        bool bS4 = false;
        bool bAoAc = false; // Modern Standby ("always on, always connected")
        bool bHiberFilePresent = false;
    };

    enum class Means {
        Suspend,    // SetSuspendState into S1-S3
        Hibernate,  // SetSuspendState into S4
        DisplayOff, // SC_MONITORPOWER: Modern Standby follows
        Refused,
    };

    enum class Refusal {
        None,
        NoSleepState,
        NoHibernateState,
        HibernationOff,
    };

    struct Choice {
        Means means;
        Refusal refusal;
    };

    static Choice ForSleep(const Capabilities& capabilities);
    static Choice ForHibernate(const Capabilities& capabilities);

    // A refusal travels as an error code of its own (bit 29: an
    // application's code, never one of Windows'); 0 for None.
    static std::uint32_t CodeOf(Refusal refusal);
    static Refusal RefusalOf(std::uint32_t nCode);
    // The reason told to the user.
    static std::string ReasonOf(Refusal refusal);
};
