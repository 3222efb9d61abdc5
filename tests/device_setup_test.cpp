// The set-up step: the help files and the registry key in place, a second run that changes
// nothing, repair after removal or damage; and the help pages themselves.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include "app/device_setup.h"
#include "host_scratch.h"
#include "platform/kernel/device_paths.h"
#include "platform/kernel/host_text.h"
#include "platform/windows.h"
#include "resources/program_resources.h"

namespace fs = std::filesystem;

namespace {

const char* const kHelpFiles[] = {
    "quorix-index.htc",   "quorix_gaiyo.htp",   "quorix_install.htp", "quorix_copyright.htp",
    "quorix_history.htp", "quorix_support.htp", "quorix_use.htp",
};

std::string Embedded(const char* name)
{
    std::size_t size = 0;
    const unsigned char* data = FindEmbeddedBlob(name, &size);
    return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

LONG OpenProgramKey()
{
    HKEY key = nullptr;
    LONG status = RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1\\Quorix", 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status;
}

class DeviceSetupTest : public ::testing::Test {
protected:
    void SetUp() override { m_windows = DeviceRoot() + "/Windows"; }
    HostScratch m_scratch;
    std::string m_windows;
};

TEST_F(DeviceSetupTest, InstallsTheHelpFilesAndTheRegistryKey)
{
    ASSERT_TRUE(InstallDeviceFiles());
    for (const char* name : kHelpFiles) {
        EXPECT_EQ(ReadText(m_windows + "/" + name), Embedded(name)) << name;
        EXPECT_FALSE(Embedded(name).empty()) << name;
    }
    EXPECT_EQ(OpenProgramKey(), ERROR_SUCCESS);
}

TEST_F(DeviceSetupTest, ASecondRunChangesNothing)
{
    ASSERT_TRUE(InstallDeviceFiles());
    std::string registryBefore = ReadText(DeviceRoot() + "/registry.dat");
    struct stat before[7], after;
    for (int i = 0; i < 7; ++i) ASSERT_EQ(stat((m_windows + "/" + kHelpFiles[i]).c_str(), &before[i]), 0);
    ASSERT_TRUE(InstallDeviceFiles());
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(stat((m_windows + "/" + kHelpFiles[i]).c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before[i].st_ino) << kHelpFiles[i] << " was written again";
    }
    EXPECT_EQ(ReadText(DeviceRoot() + "/registry.dat"), registryBefore);
}

TEST_F(DeviceSetupTest, RepairsWhatUninstallRemovedOrWhatWasDamaged)
{
    ASSERT_TRUE(InstallDeviceFiles());
    EXPECT_TRUE(DeleteFile(u"\\Windows\\quorix_use.htp"));
    std::ofstream(m_windows + "/quorix_gaiyo.htp", std::ios::trunc) << "damaged";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKey(key, u"Quorix"), ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_TRUE(InstallDeviceFiles());
    EXPECT_EQ(ReadText(m_windows + "/quorix_use.htp"), Embedded("quorix_use.htp"));
    EXPECT_EQ(ReadText(m_windows + "/quorix_gaiyo.htp"), Embedded("quorix_gaiyo.htp"));
    EXPECT_EQ(OpenProgramKey(), ERROR_SUCCESS);
}

TEST_F(DeviceSetupTest, UsesTheWindowsFolderWhateverItsCase)
{
    fs::create_directories(DeviceRoot() + "/WINDOWS");
    ASSERT_TRUE(InstallDeviceFiles());
    EXPECT_FALSE(fs::exists(m_windows));
    EXPECT_TRUE(fs::exists(DeviceRoot() + "/WINDOWS/quorix-index.htc"));
}

TEST_F(DeviceSetupTest, FailsWhenTheDeviceCannotBeWritten)
{
    fs::create_directories(DeviceRoot());
    std::ofstream(m_windows) << "a file where the folder belongs";
    EXPECT_FALSE(InstallDeviceFiles());
}

// Every href of a page: its targets, without fragments.
std::set<std::string> Links(const std::string& html)
{
    std::set<std::string> links;
    const std::string href = "href=\"";
    for (std::size_t at = html.find(href); at != std::string::npos; at = html.find(href, at + 1)) {
        std::size_t start = at + href.size();
        std::size_t end = html.find_first_of("\"#", start);
        if (end == std::string::npos) break;
        links.insert(html.substr(start, end - start));
    }
    return links;
}

TEST(HelpPagesTest, TheIndexLinksEveryPageAndEveryPageLinksBack)
{
    std::set<std::string> fromIndex = Links(Embedded("quorix-index.htc"));
    for (const char* name : kHelpFiles) {
        std::string page = Embedded(name);
        std::u16string wide;
        EXPECT_TRUE(Utf8ToUtf16(page, &wide)) << name << " is not UTF-8";
        EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos) << name;
        if (std::string(name) == "quorix-index.htc") continue;
        EXPECT_TRUE(fromIndex.count(name)) << "the index does not link " << name;
        EXPECT_TRUE(Links(page).count("quorix-index.htc")) << name << " does not link back";
    }
    for (const char* name : kHelpFiles) {
        for (const std::string& link : Links(Embedded(name))) {
            bool external = link.rfind("https://", 0) == 0 || link.rfind("mailto:", 0) == 0;
            bool sibling = std::find(std::begin(kHelpFiles), std::end(kHelpFiles), link) != std::end(kHelpFiles);
            EXPECT_TRUE(external || sibling) << name << " links to " << link;
        }
    }
}

}  // namespace
