#include "platform/regional_text.h"
#include "platform/windows/windows_regional_settings.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <ostream>
#include <vector>
#include <windows.h>

namespace {

using platform::PictureKind;

struct PictureCase {
    const char* picture;
    PictureKind kind;
    char separator;
    const char* pattern;
    friend void PrintTo(const PictureCase& c, std::ostream* os) { *os << '"' << c.picture << '"'; }
};

constexpr auto kDate = PictureKind::Date;
constexpr auto kTime = PictureKind::Time;

const std::array kPictureCases = {
    PictureCase{"yyyy-MM-dd", kDate, '-', "yyyy-MM-dd"},
    PictureCase{"dd.MM.yyyy", kDate, '.', "dd.MM.yyyy"},
    PictureCase{"M/d/yyyy", kDate, '/', "M/d/yyyy"},
    PictureCase{"d/M/y", kDate, '/', "d/M/yy"},
    PictureCase{"d.M.yyyy 'г.'", kDate, '.', "d.M.yyyy г."},
    PictureCase{"yyyy-MM-dd''", kDate, '-', "yyyy-MM-dd'"},
    // Names of months and days, an era and literal pattern letters fall back to numbers.
    PictureCase{"dd-MMM-yy", kDate, '-', "dd-MM-yy"},
    PictureCase{"dddd d MMMM yyyy", kDate, '.', "d.MM.yyyy"},
    PictureCase{"dd 'de' MMMM 'de' yyyy", kDate, '/', "dd/MM/yyyy"},
    PictureCase{"gg yyyy/MM/dd", kDate, '/', "yyyy/MM/dd"},
    PictureCase{"MMMM yyyy", kDate, '.', "yyyy.MM.dd"},
    PictureCase{"HH:mm:ss", kTime, ':', "HH:mm:ss"},
    PictureCase{"h:mm:ss tt", kTime, ':', "h:mm:ss AP"},
    PictureCase{"tt hh:mm:ss", kTime, ':', "AP hh:mm:ss"},
    PictureCase{"hh:mm:ss t", kTime, ':', "hh:mm:ss AP"},
    PictureCase{"H.mm.ss", kTime, '.', "H.mm.ss"},
    PictureCase{"HH:mm", kTime, ':', "HH:mm"},
    PictureCase{"'A''P' HH:mm", kTime, ':', "A'P HH:mm"},
    PictureCase{"'AP' HH:mm", kTime, ':', "HH:mm"},
    PictureCase{"HH:mm:ss 'Uhr'", kTime, ':', "HH:mm:ss"},
    PictureCase{"HH 'h' mm 'min' ss 's'", kTime, ':', "HH:mm:ss"},
    PictureCase{"hh 'h' mm tt", kTime, '.', "hh.mm AP"},
    PictureCase{"mm:ss", kTime, ':', "HH:mm:ss"},
};

class PictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureTest, BecomesAPatternOrItsNumericForm) {
    const auto& row = GetParam();
    EXPECT_EQ(platform::PatternOrNumericForm(row.picture, row.kind, row.separator), row.pattern);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureTest, ::testing::ValuesIn(kPictureCases));

TEST(PatternOfPicture, IsNothingForWhatThePatternLettersCannotExpress) {
    EXPECT_EQ(platform::PatternOfPicture("dd-MM-yyyy", kDate), "dd-MM-yyyy");
    for (const char* picture : {"dd-MMM-yy", "ddd dd.MM.yyyy", "g yyyy-MM-dd", "yyyy-MM-dd 'h'"}) {
        EXPECT_EQ(platform::PatternOfPicture(picture, kDate), std::nullopt) << picture;
    }
    EXPECT_EQ(platform::PatternOfPicture("H:mm 'Uhr'", kTime), std::nullopt);
}

const wchar_t* const kInternational = L"Control Panel\\International";

// The user's regional values in the registry, as the control panel writes them. The whole key
// is put back as it was when the test ends: the system derives further values from some (the
// order of the date's parts from the short date).
class UserInternational : public ::testing::Test {
protected:
    static constexpr std::array<const wchar_t*, 6> kNames = {
        L"sShortDate", L"sTimeFormat", L"sDate", L"sTime", L"s1159", L"s2359"};

    UserInternational() {
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kInternational, 0, KEY_READ | KEY_WRITE, &key_),
                  ERROR_SUCCESS);
        saved_ = values();
    }
    ~UserInternational() override {
        for (const auto& [name, value] : values()) {
            if (!saved_.contains(name)) {
                RegDeleteValueW(key_, name.c_str());
            }
        }
        for (const auto& [name, value] : saved_) {
            RegSetValueExW(key_, name.c_str(), 0, value.first, value.second.data(),
                           static_cast<DWORD>(value.second.size()));
        }
        RegCloseKey(key_);
    }

    void write(const wchar_t* name, const std::wstring& value) {
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(RegSetValueExW(key_, name, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()), bytes),
                  ERROR_SUCCESS);
    }

    // The six values in the order of kNames.
    void set(const std::array<const wchar_t*, 6>& values) {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            write(kNames[i], values[i]);
        }
    }

private:
    using Values = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

    Values values() const {
        Values all;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameUnits = 256;
            std::vector<BYTE> data(4096);
            DWORD type = 0;
            DWORD bytes = static_cast<DWORD>(data.size());
            if (RegEnumValueW(key_, index, name, &nameUnits, nullptr, &type, data.data(), &bytes) !=
                ERROR_SUCCESS) {
                return all;
            }
            data.resize(bytes);
            all[name] = {type, std::move(data)};
        }
    }

    HKEY key_ = nullptr;
    Values saved_;
};

struct LocaleCase {
    const char* name;
    std::array<const wchar_t*, 6> values;
    platform::RegionalFormats formats;
    // 29 October 2014 18:05:09 in those formats.
    const char* text;
    friend void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.name; }
};

const std::array kLocaleCases = {
    LocaleCase{"Swedish",
               {L"yyyy-MM-dd", L"HH:mm:ss", L"-", L":", L"fm", L"em"},
               {"yyyy-MM-dd", "HH:mm:ss", '-', ':', "fm", "em"},
               "2014-10-29 18:05:09"},
    LocaleCase{"German",
               {L"dd.MM.yyyy", L"HH:mm:ss", L".", L":", L"", L""},
               {"dd.MM.yyyy", "HH:mm:ss", '.', ':', "", ""},
               "29.10.2014 18:05:09"},
    LocaleCase{"American",
               {L"M/d/yyyy", L"h:mm:ss tt", L"/", L":", L"AM", L"PM"},
               {"M/d/yyyy", "h:mm:ss AP", '/', ':', "AM", "PM"},
               "10/29/2014 6:05:09 PM"},
    LocaleCase{"Korean",
               {L"yyyy-MM-dd", L"tt h:mm:ss", L"-", L":", L"오전", L"오후"},
               {"yyyy-MM-dd", "AP h:mm:ss", '-', ':', "오전", "오후"},
               "2014-10-29 오후 6:05:09"},
    LocaleCase{"Finnish",
               {L"d.M.yyyy", L"H.mm.ss", L".", L".", L"ap.", L"ip."},
               {"d.M.yyyy", "H.mm.ss", '.', '.', "ap.", "ip."},
               "29.10.2014 18.05.09"},
    LocaleCase{"MonthNames",
               {L"dd-MMM-yy", L"HH:mm:ss", L"-", L":", L"", L""},
               {"dd-MM-yy", "HH:mm:ss", '-', ':', "", ""},
               "29-10-14 18:05:09"},
    // Separators that disagree with the pictures give way to the pictures' own, so that what is
    // written reads back.
    LocaleCase{"Inconsistent",
               {L"dd/MM/yyyy", L"HH:mm:ss", L".", L"-", L"", L""},
               {"dd/MM/yyyy", "HH:mm:ss", '/', ':', "", ""},
               "29/10/2014 18:05:09"},
};

class UserLocaleTest : public UserInternational,
                       public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(UserLocaleTest, GivesTheUsersFormatsWhichReadBackWhatTheyWrite) {
    set(GetParam().values);
    const auto formats = platform::WindowsRegionalSettings().formats();
    const auto& expected = GetParam().formats;
    EXPECT_EQ(formats.shortDate, expected.shortDate);
    EXPECT_EQ(formats.longTime, expected.longTime);
    EXPECT_EQ(formats.dateSeparator, expected.dateSeparator);
    EXPECT_EQ(formats.timeSeparator, expected.timeSeparator);
    EXPECT_EQ(formats.amText, expected.amText);
    EXPECT_EQ(formats.pmText, expected.pmText);

    const platform::LocalDateTime moment{.year = 2014,
                                         .month = 10,
                                         .day = 29,
                                         .hour = 18,
                                         .minute = 5,
                                         .second = 9,
                                         .millisecond = 0};
    const auto text = platform::FormatDateTime(formats, moment);
    EXPECT_EQ(text, GetParam().text);
    const auto parsed = platform::ParseDateTime(formats, text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(platform::FormatDateTime(formats, *parsed), text);
}

INSTANTIATE_TEST_SUITE_P(Locales, UserLocaleTest, ::testing::ValuesIn(kLocaleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserInternational, AChangeShowsAtTheNextCall) {
    platform::WindowsRegionalSettings settings;
    set({L"yyyy-MM-dd", L"HH:mm:ss", L"-", L":", L"", L""});
    EXPECT_EQ(settings.formats().shortDate, "yyyy-MM-dd");
    // As the control panel changes them: the system keeps the values of a process in a cache,
    // which a raw change of the registry does not reach.
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, L"dd.MM.yyyy"));
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, L"."));
    const auto formats = settings.formats();
    EXPECT_EQ(formats.shortDate, "dd.MM.yyyy");
    EXPECT_EQ(formats.dateSeparator, '.');
}

} // namespace
