// How Sleep and Hibernate are carried out for each kind of PC, and the
// refusals' codes and reasons.
#include "PowerChoice.h"

#include <gtest/gtest.h>

namespace {

using Means = PowerChoice::Means;
using Refusal = PowerChoice::Refusal;

PowerChoice::Capabilities Classic() {
    PowerChoice::Capabilities capabilities;
    capabilities.bS3 = true;
    capabilities.bS4 = true;
    capabilities.bHiberFilePresent = true;
    return capabilities;
}

PowerChoice::Capabilities ModernStandby() {
    PowerChoice::Capabilities capabilities;
    capabilities.bAoAc = true;
    capabilities.bS4 = true;
    return capabilities;
}

void ExpectChoice(Means means, Refusal refusal, const PowerChoice::Choice& choice) {
    EXPECT_EQ(means, choice.means);
    EXPECT_EQ(refusal, choice.refusal);
}

TEST(PowerChoiceTest, SleepSuspendsWhereS1ToS3ExistAndTurnsTheDisplayOffOnModernStandby) {
    ExpectChoice(Means::Suspend, Refusal::None, PowerChoice::ForSleep(Classic()));
    PowerChoice::Capabilities s1Only;
    s1Only.bS1 = true;
    ExpectChoice(Means::Suspend, Refusal::None, PowerChoice::ForSleep(s1Only));
    ExpectChoice(Means::DisplayOff, Refusal::None, PowerChoice::ForSleep(ModernStandby()));
    PowerChoice::Capabilities both = ModernStandby();
    both.bS3 = true;
    ExpectChoice(Means::Suspend, Refusal::None, PowerChoice::ForSleep(both));
    // A virtual machine without power states.
    ExpectChoice(Means::Refused, Refusal::NoSleepState,
                 PowerChoice::ForSleep(PowerChoice::Capabilities()));
}

TEST(PowerChoiceTest, HibernateNeedsS4AndTheHibernationFile) {
    ExpectChoice(Means::Hibernate, Refusal::None, PowerChoice::ForHibernate(Classic()));
    PowerChoice::Capabilities withFile = ModernStandby();
    withFile.bHiberFilePresent = true;
    ExpectChoice(Means::Hibernate, Refusal::None, PowerChoice::ForHibernate(withFile));
    ExpectChoice(Means::Refused, Refusal::HibernationOff,
                 PowerChoice::ForHibernate(ModernStandby()));
    ExpectChoice(Means::Refused, Refusal::NoHibernateState,
                 PowerChoice::ForHibernate(PowerChoice::Capabilities()));
}

TEST(PowerChoiceTest, ARefusalTravelsAsItsOwnCodeNeverOneOfWindows) {
    for (const Refusal refusal :
         {Refusal::NoSleepState, Refusal::NoHibernateState, Refusal::HibernationOff}) {
        const std::uint32_t code = PowerChoice::CodeOf(refusal);
        EXPECT_NE(0u, code & 0x20000000u) << "an application's code";
        EXPECT_EQ(refusal, PowerChoice::RefusalOf(code));
        EXPECT_FALSE(PowerChoice::ReasonOf(refusal).empty());
    }
    EXPECT_EQ(0u, PowerChoice::CodeOf(Refusal::None));
    // Windows' own codes: ERROR_NOT_SUPPORTED, ERROR_ACCESS_DENIED, an HRESULT.
    for (const std::uint32_t windows : {50u, 5u, 0x80070005u, 0u})
        EXPECT_EQ(Refusal::None, PowerChoice::RefusalOf(windows));
}

} // namespace
