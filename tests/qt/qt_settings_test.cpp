// The settings store: the file where the desktop expects it, values back exactly as
// written, and damaged or unwritable files met without a crash or a false success.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/qt/qt_services.h"

namespace plat::qt {
namespace {

std::string configHome() {
    return std::getenv("XDG_CONFIG_HOME");
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(QtSettings, LiveInTheUsersConfigFolderByGroupAndKey) {
    QtSettings settings;
    ASSERT_TRUE(settings.saveAll(L"Quibbets", L"Settings", {{L"MainLeft", L"1440"}, {L"MainTop", L"-15"}}).ok);
    const std::string file = readText(configHome() + "/Quibbets/Quibbets.conf");
    EXPECT_NE(file.find("[Settings]"), std::string::npos) << file;
    EXPECT_NE(file.find("MainLeft=1440"), std::string::npos) << file;
    EXPECT_EQ(settings.get(L"Quibbets", L"Settings", L"MainTop", L"x"), L"-15");
    EXPECT_EQ(settings.get(L"Quibbets", L"Settings", L"Absent", L"fallback"), L"fallback");
    EXPECT_EQ(settings.get(L"Quibbets", L"Other", L"MainLeft", L"fallback"), L"fallback");
}

TEST(QtSettings, TextComesBackExactly) {
    QtSettings settings;
    for (const wchar_t* value : {L"", L"a, b", L"@Variant(x)", L"k=v; [s]", L"  spaced  ", L"\u00e9\u20ac"}) {
        ASSERT_TRUE(settings.saveAll(L"QuibbetsText", L"S", {{L"Key", value}}).ok);
        EXPECT_EQ(settings.get(L"QuibbetsText", L"S", L"Key", L"fallback"), value);
    }
}

TEST(QtSettings, ADamagedFileReadsAsFallbacks) {
    const std::string folder = configHome() + "/QuibbetsBad";
    QFile::remove(QString::fromStdString(folder + "/QuibbetsBad.conf"));
    std::system(("mkdir -p '" + folder + "'").c_str());
    std::ofstream(folder + "/QuibbetsBad.conf", std::ios::binary)
        << "\xff\xfe[[[\x01\n=\nKey\n[Settings\nMainLeft=a,b,c\nOther=kept\n";
    QtSettings settings;
    EXPECT_EQ(settings.get(L"QuibbetsBad", L"Settings", L"MainLeft", L"fallback"), L"fallback");
    // The store repairs the file as it writes; the write is no failure.
    EXPECT_TRUE(settings.saveAll(L"QuibbetsBad", L"Settings", {{L"MainLeft", L"99"}}).ok);
    EXPECT_EQ(settings.get(L"QuibbetsBad", L"Settings", L"MainLeft", L"fallback"), L"99");
    EXPECT_EQ(settings.get(L"QuibbetsBad", L"Settings", L"Other", L"fallback"), L"kept");
}

TEST(QtSettings, AFileThatCannotBeWrittenIsAFailure) {
    ::mkdir(configHome().c_str(), 0700);
    std::ofstream(configHome() + "/QuibbetsBlocked") << "a file where the folder should be";
    QtSettings settings;
    const FileStatus saved = settings.saveAll(L"QuibbetsBlocked", L"Settings", {{L"Key", L"1"}});
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find(L"QuibbetsBlocked.conf"), std::wstring::npos);
}

}  // namespace
}  // namespace plat::qt
