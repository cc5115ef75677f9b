// The version facts that the running system reports.

#include <gtest/gtest.h>

#include "core/StartupSettings.h"

namespace {

TEST(VersionFacts, TheRunningSystemIsSupported) {
  const VersionFacts facts = GatherVersionFacts();
  EXPECT_TRUE(facts.queryOk);
  EXPECT_EQ(facts.platformId, 2u);
  EXPECT_GE(facts.major, 6u);
  const OsVersionCode code = ClassifyOsVersion(facts);
  EXPECT_TRUE(IsSupportedOs(code)) << "code " << code;
}

}  // namespace
