// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_language.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

struct LanguageCase {
    const char* name;
    const char* override;
    const char* locale;
    UiLanguage expected;
};

class UiLanguageChoice : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(UiLanguageChoice, OverrideFirstThenLocale) {
    const LanguageCase& c = GetParam();
    EXPECT_EQ(chooseUiLanguage(QString::fromUtf8(c.override), QString::fromUtf8(c.locale)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UiLanguageChoice,
    ::testing::Values(LanguageCase{"ChineseLocale", "", "zh_CN.UTF-8", UiLanguage::Chinese},
                      LanguageCase{"TaiwanLocale", "", "zh_TW.UTF-8", UiLanguage::Chinese},
                      LanguageCase{"BcpName", "", "zh-Hans-CN", UiLanguage::Chinese},
                      LanguageCase{"BareZh", "", "zh", UiLanguage::Chinese},
                      LanguageCase{"EnglishLocale", "", "en_US.UTF-8", UiLanguage::English},
                      LanguageCase{"OtherLocale", "", "de_DE.UTF-8", UiLanguage::English},
                      LanguageCase{"CLocale", "", "C", UiLanguage::English},
                      LanguageCase{"NoLocale", "", "", UiLanguage::English},
                      LanguageCase{"OverrideEn", "en", "zh_CN.UTF-8", UiLanguage::English},
                      LanguageCase{"OverrideZh", "zh", "en_US.UTF-8", UiLanguage::Chinese},
                      LanguageCase{"OverrideCase", " ZH ", "C", UiLanguage::Chinese},
                      LanguageCase{"UnknownOverrideIgnored", "fr", "zh_CN.UTF-8", UiLanguage::Chinese},
                      LanguageCase{"UnknownOverrideIgnoredEn", "zh_CN", "en_GB", UiLanguage::English}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace melnix
