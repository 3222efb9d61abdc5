// The registry: keys made, opened and deleted as Win32 does, bad handles, hostile key names and
// a damaged registry file.
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include "host_scratch.h"
#include "platform/kernel/device_paths.h"
#include "platform/windows.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    // The status of opening a key below HKEY_LOCAL_MACHINE; the handle is closed again.
    static LONG OpenStatus(const std::u16string& path)
    {
        HKEY key = nullptr;
        LONG status = RegOpenKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return status;
    }
    static LONG Create(const std::u16string& path, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        LONG status = RegCreateKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                     &key, disposition);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return status;
    }
    std::string StoreFile() const { return DeviceRoot() + "/registry.dat"; }
    std::string StoreText() const
    {
        std::ifstream in(StoreFile(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    HostScratch m_scratch;
};

TEST_F(RegistryTest, TheProgramsKeyIsMadeOpenedAndDeleted)
{
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1", 0, KEY_ALL_ACCESS, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    DWORD disposition = 0;
    EXPECT_EQ(Create(u"Software\\Larkwell\\Gearset1\\Quorix", &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(Create(u"Software\\Larkwell\\Gearset1\\Quorix", &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(key, u"Quorix"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(key, u"Quorix"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(OpenStatus(u"Software\\Larkwell\\Gearset1"), ERROR_SUCCESS);  // only the subkey went
    EXPECT_EQ(OpenStatus(u"Software\\Larkwell\\Gearset1\\Quorix"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, NamesMatchIgnoringCaseAndKeepTheCaseTheyWereMadeWith)
{
    ASSERT_EQ(Create(u"Software\\Larkwell"), ERROR_SUCCESS);
    EXPECT_EQ(OpenStatus(u"SOFTWARE\\larkwell"), ERROR_SUCCESS);
    EXPECT_EQ(Create(u"software\\LARKWELL\\Gearset1"), ERROR_SUCCESS);
    std::string text = StoreText();
    EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\Software\\Larkwell\\Gearset1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("software"), std::string::npos) << text;
}

TEST_F(RegistryTest, AKeyWithSubkeysIsNotDeleted)
{
    ASSERT_EQ(Create(u"Software\\Larkwell\\Gearset1\\Quorix"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, u"Software\\Larkwell"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenStatus(u"Software\\Larkwell\\Gearset1\\Quorix"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1\\Quorix"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, u"Software\\Larkwell\\Gearset1"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, u""), ERROR_ACCESS_DENIED);  // a root key stays
}

TEST_F(RegistryTest, HostileSubkeyNames)
{
    std::u16string longest(255, u'k'), tooLong(256, u'k');
    std::u16string deepest, tooDeep;
    for (int i = 0; i < 512; ++i) deepest += (i ? u"\\d" : u"d");
    tooDeep = deepest + u"\\d";
    struct {
        const char* label;
        std::u16string name;
        LONG status;
    } cases[] = {
        {"leading backslash", u"\\Software", ERROR_INVALID_PARAMETER},
        {"doubled backslash", u"Software\\\\Larkwell", ERROR_INVALID_PARAMETER},
        {"trailing backslash", u"Software\\", ERROR_INVALID_PARAMETER},
        {"name of 256", tooLong, ERROR_INVALID_PARAMETER},
        {"512 levels and one", tooDeep, ERROR_INVALID_PARAMETER},
        {"lone surrogate", u"a\xD800", ERROR_INVALID_PARAMETER},
        {"name of 255", longest, ERROR_SUCCESS},
        {"512 levels", deepest, ERROR_SUCCESS},
        {"dot dot is a name", u"x\\..", ERROR_SUCCESS},
        {"slash is a name character", u"a/b", ERROR_SUCCESS},
        {"percent", u"%41", ERROR_SUCCESS},
        {"line break", u"line\nbreak", ERROR_SUCCESS},
        {"control and delete", u"\x01\x7F", ERROR_SUCCESS},
        {"Japanese", u"\x65E5\x672C\x8A9E", ERROR_SUCCESS},
        {"surrogate pair", u"\xD83D\xDE00", ERROR_SUCCESS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Create(c.name), c.status);
        EXPECT_EQ(OpenStatus(c.name), c.status == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
    }
    // Escaped and odd names come back as themselves, and nothing else.
    EXPECT_EQ(OpenStatus(u"A"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenStatus(u"line"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenStatus(u"a"), ERROR_FILE_NOT_FOUND);
    // ".." never climbs: "x\..\a/b" is not "a/b".
    EXPECT_EQ(OpenStatus(u"x\\..\\a/b"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ANulEndsTheName)
{
    const char16_t withNul[] = u"Before\0After";
    EXPECT_EQ(Create(withNul), ERROR_SUCCESS);
    EXPECT_EQ(OpenStatus(u"Before"), ERROR_SUCCESS);
    EXPECT_EQ(StoreText().find("After"), std::string::npos);
}

TEST_F(RegistryTest, BadHandlesAndArguments)
{
    HKEY key = nullptr;
    HKEY closed = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, u"K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &closed, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(closed);
    const HKEY badKeys[] = {nullptr, reinterpret_cast<HKEY>(0x1234), reinterpret_cast<HKEY>(~std::uintptr_t(0)), closed};
    for (HKEY bad : badKeys) {
        EXPECT_EQ(RegOpenKeyEx(bad, u"K", 0, KEY_ALL_ACCESS, &key), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyEx(bad, u"K", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteKey(bad, u"K"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"K", 0, KEY_ALL_ACCESS, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, nullptr, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);  // root keys are never closed
}

TEST_F(RegistryTest, AHandleToADeletedKeyReportsItDeleted)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, u"Gone", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, u"Gone"), ERROR_SUCCESS);
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyEx(key, nullptr, 0, KEY_ALL_ACCESS, &sub), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCreateKeyEx(key, u"Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(OpenStatus(u"Gone"), ERROR_FILE_NOT_FOUND);  // nothing was made again
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ADamagedFileKeepsItsDamagedLinesAsTheyAre)
{
    DeviceRoot();
    std::string longName(300, 'n');
    std::ofstream(StoreFile(), std::ios::binary)
        << "quorix registry 1\n"
        << "HKEY_LOCAL_MACHINE\\Software\\Good\n"
        << "HKEY_LOCAL_MACHINE\\Bad%ZZ\n"
        << "HKEY_LOCAL_MACHINE\\Cut%4\n"
        << "HKEY_BOGUS\\Software\\Rootless\n"
        << "HKEY_LOCAL_MACHINE\\\\Empty\n"
        << "HKEY_LOCAL_MACHINE\\Nul%00Inside\n"
        << "HKEY_LOCAL_MACHINE\\" << longName << "\n"
        << "HKEY_LOCAL_MACHINE\\Broken\xC3(\n"
        << "HKEY_LOCAL_MACHINE\\Last";  // no line end
    EXPECT_EQ(OpenStatus(u"Software\\Good"), ERROR_SUCCESS);
    EXPECT_EQ(OpenStatus(u"Software"), ERROR_SUCCESS);  // implied by its subkey
    EXPECT_EQ(OpenStatus(u"Last"), ERROR_SUCCESS);
    for (const char16_t* bad : {u"Bad%ZZ", u"Bad", u"Cut%4", u"Software\\Rootless", u"Empty", u"Nul"}) {
        EXPECT_EQ(OpenStatus(bad), ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(Create(u"New"), ERROR_SUCCESS);
    std::string text = StoreText();
    EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\Software\\Good\n"), std::string::npos);
    EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\New\n"), std::string::npos);
    // What this program cannot read is not its to drop.
    for (const std::string& kept : {std::string("HKEY_BOGUS\\Software\\Rootless\n"), "HKEY_LOCAL_MACHINE\\" + longName + "\n",
                                    std::string("HKEY_LOCAL_MACHINE\\Bad%ZZ\n"), std::string("HKEY_LOCAL_MACHINE\\Broken\xC3(\n")}) {
        EXPECT_NE(text.find(kept), std::string::npos) << kept.substr(0, 40);
    }
}

// Every other program's keys survive a rewrite: a file written with CRLF line ends is read as
// it is; one that was not read whole, or does not begin as this program's files do, is left as
// it is and the change refused, with a line on standard error saying why.
TEST_F(RegistryTest, KeysThatAreNotOursSurviveEveryRewrite)
{
    DeviceRoot();
    std::string big = "quorix registry 1\nHKEY_LOCAL_MACHINE\\Other\\Head\n";
    while (big.size() <= (8u << 20)) big += "HKEY_LOCAL_MACHINE\\Other\\Padding" + std::to_string(big.size()) + "\n";
    big += "HKEY_LOCAL_MACHINE\\Other\\Tail\n";
    struct Case {
        const char* name;
        std::string file;
        bool changed;        // the key is made and the file rewritten with it
        const char* refusal; // else: the standard error line says this
    } cases[] = {
        {"CRLF", "quorix registry 1\r\nHKEY_LOCAL_MACHINE\\Other\\Key\r\n", true, ""},
        {"bigger than read", big, false, "larger than"},
        {"another header", "quorix registry 2\nHKEY_LOCAL_MACHINE\\Other\\Key\n", false, "does not begin"},
        {"noise", std::string(5000, '\x9C'), false, "does not begin"},
    };
    for (const Case& c : cases) {
        std::ofstream(StoreFile(), std::ios::binary | std::ios::trunc) << c.file;
        ::testing::internal::CaptureStderr();
        LONG status = Create(u"Software\\Larkwell\\Gearset1\\Quorix");
        std::string said = ::testing::internal::GetCapturedStderr();
        std::string text = StoreText();
        if (c.changed) {
            EXPECT_EQ(status, ERROR_SUCCESS) << c.name;
            EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\Other\\Key\n"), std::string::npos) << c.name;
            EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\Software\\Larkwell\\Gearset1\\Quorix\n"), std::string::npos) << c.name;
            EXPECT_EQ(said, "") << c.name;
        } else {
            EXPECT_NE(status, ERROR_SUCCESS) << c.name;
            EXPECT_TRUE(text == c.file) << c.name << ": the file was rewritten";
            EXPECT_NE(said.find(c.refusal), std::string::npos) << c.name << ": " << said;
            EXPECT_NE(said.find(StoreFile()), std::string::npos) << c.name << ": " << said;
        }
    }
    // What was read of the big file still answers.
    std::ofstream(StoreFile(), std::ios::binary | std::ios::trunc) << big;
    EXPECT_EQ(OpenStatus(u"Other\\Head"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ConcurrentWritersLoseNoKey)
{
    auto makeKeys = [](char16_t prefix) {
        for (int i = 0; i < 40; ++i) {
            std::u16string name = u"Keys\\";
            name += prefix;
            for (char c : std::to_string(i)) name += static_cast<char16_t>(c);
            Create(name);
        }
    };
    std::thread a(makeKeys, u'a'), b(makeKeys, u'b');
    a.join();
    b.join();
    for (char16_t prefix : {u'a', u'b'}) {
        for (int i = 0; i < 40; ++i) {
            std::u16string name = u"Keys\\";
            name += prefix;
            for (char c : std::to_string(i)) name += static_cast<char16_t>(c);
            EXPECT_EQ(OpenStatus(name), ERROR_SUCCESS);
        }
    }
}

}  // namespace
