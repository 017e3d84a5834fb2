// Every test of this program sees the same two small language packs, in English.
#include "support/language_environment.h"

namespace tarvo::test {
namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(
    new LanguageEnvironment("TARVO_TEST_DATA", "/shell_windows/lang/", u"usa"));

}  // namespace
}  // namespace tarvo::test
