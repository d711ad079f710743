// Takes the locale from the environment, as the Qt program does, so that the German run of the
// suite shows that formatting and parsing never follow it.
#include <clocale>

#include <gtest/gtest.h>

namespace {
class LocaleFromEnvironment : public ::testing::Environment {
public:
    void SetUp() override { std::setlocale(LC_ALL, ""); }
};
const auto* const kLocaleEnv = ::testing::AddGlobalTestEnvironment(new LocaleFromEnvironment);
}  // namespace
