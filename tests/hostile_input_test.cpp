// Hostile input from outside the program: device paths built to escape the device root, a client
// of another user, and a flood of malformed messages between processes. Nothing may reach outside
// the root, nothing may crash, and nothing in the running calculator may change.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include "app/app.h"
#include "engine/calc_state.h"
#include "face_fixture.h"
#include "host_scratch.h"
#include "hostile_paths.h"
#include "platform/kernel/device_paths.h"
#include "platform/user/input.h"
#include "platform/user/platform_messages.h"
#include "platform/publish/channel.h"
#include "platform/publish/protocol.h"
#include "platform/user/window_count.h"
#include "platform/publish/window_publish_testing.h"
#include "platform/windows.h"
#include "resources/program_resources.h"

namespace fs = std::filesystem;

namespace {

// ---- device paths ----

std::u16string Utf16(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

bool IsInside(const std::string& root, const std::string& path)
{
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

TEST(HostilePathTest, NoGeneratedPathReachesOutsideTheDeviceRoot)
{
    HostScratch scratch;
    const std::string canary = scratch.Path() + "/canary.txt";
    std::ofstream(canary) << "must survive";
    fs::create_directories(scratch.DeviceRootPath() + "/Windows");
    const std::string root = DeviceRoot();
    ASSERT_EQ(root, fs::canonical(scratch.DeviceRootPath()).string());

    // Planted again before each path: DeleteFile removes a link itself, as it should.
    auto plant = [&] {
        std::error_code ignored;
        fs::create_symlink(scratch.Path(), root + "/dirlink", ignored);
        fs::create_symlink(canary, root + "/filelink", ignored);
        fs::create_symlink(scratch.Path(), root + "/Windows/dirlink", ignored);
    };

    HostilePathMaker maker(Utf16(scratch.Path().substr(1)), 20261207);  // the scratch folder as if relative
    int mapped = 0, refused = 0;
    for (int i = 0; i < 1000; ++i) {
        plant();
        const std::u16string path = maker.Next();
        std::string host;
        if (MapDevicePathText(path, &host)) {
            ++mapped;
            EXPECT_TRUE(IsInside(root, host)) << "path " << i << " mapped to " << host;
            std::error_code error;
            std::string resolved = fs::weakly_canonical(host, error).string();
            if (!error) {
                EXPECT_TRUE(IsInside(root, resolved)) << "path " << i << " resolves to " << resolved;
            }
        } else {
            ++refused;
            EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "path " << i;
        }
        DeleteFile(path.c_str());
        ASSERT_TRUE(fs::exists(canary)) << "path " << i << " deleted the file outside the root";
    }
    // Both kinds were made: paths the mapping takes (and keeps in) and paths it refuses.
    EXPECT_GT(mapped, 100);
    EXPECT_GT(refused, 100);
    EXPECT_TRUE(fs::exists(scratch.Path()));
}

TEST(HostilePathTest, EscapesLandInsideOrAreRefused)
{
    HostScratch scratch;
    fs::create_directories(scratch.DeviceRootPath());
    const std::string root = DeviceRoot();
    std::ofstream(root + "/inside.txt") << "x";
    std::error_code ignored;
    fs::create_symlink("/etc", root + "/out", ignored);

    struct Case {
        std::u16string path;
        const char* host;  // relative to the root; null: refused
        DWORD error;
    } const cases[] = {
        {u"\\..\\..\\..\\inside.txt", "/inside.txt", 0},
        {u"/../../etc/passwd", "/etc/passwd", 0},  // the root's own "etc", which does not exist
        {u"\\../..\\INSIDE.TXT", "/inside.txt", 0},
        {u"\\out\\passwd", nullptr, ERROR_ACCESS_DENIED},
        {u"\\out", nullptr, ERROR_ACCESS_DENIED},
        {std::u16string(u"\\inside.txt\0\\..\\..", 19), nullptr, ERROR_INVALID_NAME},
        {u"\\a\\\\b", nullptr, ERROR_INVALID_NAME},
        {u"\\C:\\x", nullptr, ERROR_INVALID_NAME},
        {std::u16string(u"\\") + char16_t(0xD800) + u"x", nullptr, ERROR_INVALID_NAME},
        {u"\\" + std::u16string(300, u'n'), nullptr, ERROR_FILENAME_EXCED_RANGE},
        {u"", nullptr, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        std::string host;
        SetLastError(0);
        bool ok = MapDevicePathText(c.path, &host);
        if (c.host) {
            EXPECT_TRUE(ok) << c.host;
            EXPECT_EQ(host, root + c.host);
        } else {
            EXPECT_FALSE(ok) << host;
            EXPECT_EQ(GetLastError(), c.error) << host;
        }
    }
    EXPECT_TRUE(DeleteFile(u"\\..\\..\\inside.txt"));
    EXPECT_FALSE(fs::exists(root + "/inside.txt"));
}

// ---- messages between processes ----

// The real program with its main window published to other processes.
class PublishedProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(PublishDirectory()) || MakePrivateDirectory(PublishDirectory(), geteuid()));
        EnableCrossProcessWindows(true);
        std::memset(&g_calc, 0, sizeof g_calc);
        HINSTANCE instance = GetModuleHandle(nullptr);
        RegisterProgramResources(instance);
        ASSERT_TRUE(InitMainWindow(instance, SW_SHOW));
        m_main = GetParent(g_hwndCalc);
        PressKeys(g_hwndCalc, "1 2 + 3");  // a state worth keeping
        Drain();
        for (const auto& entry : fs::directory_iterator(PublishDirectory())) {
            if (entry.path().filename().string().starts_with(std::to_string(getpid()) + "-")) m_socket = entry.path().string();
        }
        ASSERT_FALSE(m_socket.empty());
    }
    void TearDown() override
    {
        SetRequiredPeerUid(geteuid());
        DestroyTestFace();
        EnableCrossProcessWindows(false);
    }

    // Messages the listener queued for the main window, removed.
    int Drain()
    {
        int queued = 0;
        MSG msg;
        while (PeekMessage(&msg, m_main, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_COMMAND || msg.message == WM_PLATFORM_RAISE) ++queued;
            else if (msg.message != WM_QUIT) DispatchMessage(&msg);
        }
        return queued;
    }

    std::vector<std::uint8_t> Request(const std::vector<std::uint8_t>& packet)
    {
        int error = 0;
        int fd = ConnectPublished(m_socket, 2000, &error);
        if (fd < 0) return {};
        std::vector<std::uint8_t> reply;
        if (!SendPacket(fd, packet) || !ReceivePacket(fd, 2000, -1, &reply)) reply.clear();
        close(fd);
        return reply;
    }

    std::uint64_t MainValue() const { return reinterpret_cast<std::uintptr_t>(m_main); }

    HWND m_main = nullptr;
    std::string m_socket;
};

std::vector<std::uint8_t> Encode(PublishKind kind, std::uint64_t window = 0, std::uint32_t command = 0)
{
    PublishMessage message;
    message.kind = kind;
    message.window = window;
    message.command = command;
    if (kind == PublishKind::kWindowList) message.windows.push_back({window, u"MYQUORIX", u"Quorix V3.12"});
    return EncodePublishMessage(message);
}

// Valid packets bent out of shape, packets of noise, and well-formed requests for windows that are
// not there; never a well-formed request for the published window itself.
std::vector<std::uint8_t> MalformedPacket(std::mt19937& random, std::uint64_t window)
{
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    const PublishKind kinds[] = {PublishKind::kIdentify, PublishKind::kWindowList, PublishKind::kRaise,
                                 PublishKind::kCommand, PublishKind::kAck};
    std::vector<std::uint8_t> packet = Encode(kinds[pick(5)], window, 40006);
    switch (pick(8)) {
    case 0: packet[0] = static_cast<std::uint8_t>(2 + pick(254)); break;                // version
    case 1: packet[1] = pick(2) ? 0 : static_cast<std::uint8_t>(6 + pick(250)); break;  // kind
    case 2: packet[2] ^= static_cast<std::uint8_t>(1 + pick(255)); break;               // length
    case 3: packet.resize(pick(packet.size())); break;                                  // cut short
    case 4: packet.push_back(static_cast<std::uint8_t>(pick(256))); break;              // trailing byte
    case 5: packet.assign(pick(300), 0); for (auto& b : packet) b = static_cast<std::uint8_t>(pick(256)); break;
    case 6: packet = Encode(pick(2) ? PublishKind::kCommand : PublishKind::kRaise, window ^ (1 + pick(1u << 20)), 40006); break;
    default:
        for (int flips = 1 + pick(4); flips > 0 && !packet.empty(); --flips) packet[pick(packet.size())] ^= static_cast<std::uint8_t>(1 + pick(255));
        break;
    }
    PublishMessage decoded;
    if (DecodePublishMessage(packet.data(), packet.size(), &decoded) && decoded.window == window &&
        (decoded.kind == PublishKind::kCommand || decoded.kind == PublishKind::kRaise)) {
        packet[0] = 0;  // a flip that happened to make a real request: spoil it
    }
    return packet;
}

int MalformedCount()
{
#if defined(__SANITIZE_ADDRESS__)
    return 20000;  // the sanitizers' build: the same kinds, a fifth of the flood
#else
    return 100000;
#endif
}

TEST_F(PublishedProgramTest, AFloodOfMalformedMessagesChangesNothing)
{
    const CalcState before = g_calc;
    const int windows = LiveWindowCount();
    std::mt19937 random(7);
    int answered = 0;
    const int count = MalformedCount();
    for (int i = 0; i < count; ++i) {
        std::vector<std::uint8_t> reply = Request(MalformedPacket(random, MainValue()));
        if (reply.empty()) continue;
        PublishMessage message;
        ASSERT_TRUE(DecodePublishMessage(reply.data(), reply.size(), &message)) << "message " << i;
        ++answered;
        if (message.kind == PublishKind::kAck) EXPECT_EQ(message.status, PublishStatus::kNoWindow) << "message " << i;
        else EXPECT_EQ(message.kind, PublishKind::kWindowList) << "message " << i;
    }
    EXPECT_GT(answered, 0);  // some were well formed and answered "no such window" or the list
    EXPECT_EQ(Drain(), 0);
    EXPECT_EQ(std::memcmp(&g_calc, &before, sizeof before), 0);
    EXPECT_EQ(LiveWindowCount(), windows);

    // The listener still serves: it lists the window and carries a command to it.
    std::vector<std::uint8_t> reply = Request(Encode(PublishKind::kIdentify));
    PublishMessage list;
    ASSERT_TRUE(DecodePublishMessage(reply.data(), reply.size(), &list));
    ASSERT_EQ(list.windows.size(), 1u);
    EXPECT_EQ(list.windows[0].window, MainValue());
    // The command is served once this thread, the UI thread, takes it.
    std::thread sender([&] { reply = Request(Encode(PublishKind::kCommand, MainValue(), 1)); });
    int taken = 0;
    for (int i = 0; i < 300 && taken == 0; ++i) {
        taken = Drain();
        if (taken == 0) usleep(10 * 1000);
    }
    sender.join();
    PublishMessage ack;
    ASSERT_TRUE(DecodePublishMessage(reply.data(), reply.size(), &ack));
    EXPECT_EQ(ack.status, PublishStatus::kDone);
    EXPECT_EQ(taken, 1);
}

TEST_F(PublishedProgramTest, AClientOfAnotherUserIsRefused)
{
    SetRequiredPeerUid(geteuid() + 1);  // as if we were someone else to the listener
    EXPECT_TRUE(Request(Encode(PublishKind::kIdentify)).empty());
    EXPECT_TRUE(Request(Encode(PublishKind::kCommand, MainValue(), 40006)).empty());
    EXPECT_TRUE(Request(Encode(PublishKind::kRaise, MainValue())).empty());
    EXPECT_EQ(Drain(), 0);
    SetRequiredPeerUid(geteuid());
    EXPECT_FALSE(Request(Encode(PublishKind::kIdentify)).empty());
}

}  // namespace
