// Windows across processes: finding, raising and commanding another process's window, and what
// must never get through: another user, malformed messages, stale sockets, an open folder.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>
#include "host_scratch.h"
#include "platform/publish/channel.h"
#include "platform/publish/protocol.h"
#include "platform/windows.h"
#include "platform/publish/window_publish.h"
#include "publish_child.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SocketFiles(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) {
        if (entry.path().extension() == ".sock") files.push_back(entry.path().string());
    }
    return files;
}

std::string PublishFolder(const HostScratch& scratch)
{
    return scratch.RuntimePath() + "/quorix";
}

// One raw request to a socket: the reply packet, or empty when the connection ends without one.
std::vector<std::uint8_t> RawRequest(const std::string& socketPath, const std::vector<std::uint8_t>& packet)
{
    int error = 0;
    int fd = ConnectPublished(socketPath, 2000, &error);
    if (fd < 0) return {};
    std::vector<std::uint8_t> reply;
    if (!SendPacket(fd, packet) || !ReceivePacket(fd, 2000, -1, &reply)) reply.clear();
    close(fd);
    return reply;
}

std::vector<std::uint8_t> CommandPacket(std::uint64_t window, std::uint32_t command)
{
    PublishMessage message;
    message.kind = PublishKind::kCommand;
    message.window = window;
    message.command = command;
    return EncodePublishMessage(message);
}

TEST(PublishProtocolTest, MessagesSurviveTheRoundTrip)
{
    PublishMessage list;
    list.kind = PublishKind::kWindowList;
    list.windows = {{0x40, u"MYQUORIX", u"Quorix V3.12"}, {0x1230004, u"", u"\x65E5\x672C"}};
    PublishMessage command;
    command.kind = PublishKind::kCommand;
    command.window = 0xFFFFFFFFFFFFFFFCull;
    command.command = 0xFFFF9C48u;
    PublishMessage ack;
    ack.kind = PublishKind::kAck;
    ack.status = PublishStatus::kNoWindow;
    for (const PublishMessage& sent : {list, command, ack}) {
        std::vector<std::uint8_t> packet = EncodePublishMessage(sent);
        PublishMessage got;
        ASSERT_TRUE(DecodePublishMessage(packet.data(), packet.size(), &got));
        EXPECT_EQ(got.kind, sent.kind);
        EXPECT_EQ(got.window, sent.window);
        EXPECT_EQ(got.command, sent.command);
        EXPECT_EQ(got.status, sent.status);
        ASSERT_EQ(got.windows.size(), sent.windows.size());
        for (std::size_t i = 0; i < got.windows.size(); ++i) {
            EXPECT_EQ(got.windows[i].window, sent.windows[i].window);
            EXPECT_EQ(got.windows[i].className, sent.windows[i].className);
            EXPECT_EQ(got.windows[i].title, sent.windows[i].title);
        }
    }
}

TEST(PublishProtocolTest, OverlongNamesAndListsAreCutWhenSent)
{
    PublishMessage list;
    list.kind = PublishKind::kWindowList;
    for (std::size_t i = 0; i < kPublishWindowCap + 5; ++i) list.windows.push_back({i, std::u16string(1000, u'c'), u"t"});
    std::vector<std::uint8_t> packet = EncodePublishMessage(list);
    PublishMessage got;
    ASSERT_TRUE(DecodePublishMessage(packet.data(), packet.size(), &got));
    ASSERT_EQ(got.windows.size(), kPublishWindowCap);
    EXPECT_EQ(got.windows[0].className.size(), kPublishNameCap);
}

TEST(PublishProtocolTest, MalformedPacketsAreRefused)
{
    std::vector<std::uint8_t> good = CommandPacket(0x40, 40008);
    std::vector<std::uint8_t> overClaimedCount = {1, 2, 2, 0, 0xFF, 0xFF};
    std::vector<std::uint8_t> nulInTitle = {1, 2, 16, 0, 1, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    std::vector<std::uint8_t> longName = {1, 2, 14, 0, 1, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x01, 0, 0};
    struct {
        const char* label;
        std::vector<std::uint8_t> packet;
    } cases[] = {
        {"empty", {}},
        {"header only, cut", {1, 4, 12}},
        {"wrong version", [&] { auto p = good; p[0] = 2; return p; }()},
        {"unknown kind", [&] { auto p = good; p[1] = 9; return p; }()},
        {"kind zero", [&] { auto p = good; p[1] = 0; return p; }()},
        {"length says more", [&] { auto p = good; p[2] += 1; return p; }()},
        {"length says less", [&] { auto p = good; p[2] -= 1; return p; }()},
        {"payload cut", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
        {"trailing byte", [&] { auto p = good; p.push_back(0); p[2] += 1; return p; }()},
        {"identify with a payload", {1, 1, 1, 0, 0}},
        {"ack with unknown status", {1, 5, 1, 0, 7}},
        {"more windows than allowed", overClaimedCount},
        {"NUL inside a name", nulInTitle},
        {"name longer than allowed", longName},
    };
    for (const auto& c : cases) {
        PublishMessage got;
        EXPECT_FALSE(DecodePublishMessage(c.packet.data(), c.packet.size(), &got)) << c.label;
    }
    PublishMessage got;
    EXPECT_FALSE(DecodePublishMessage(nullptr, 8, &got));
}

TEST(PublishFolderTest, OnlyAPrivateFolderOfOurOwnIsTrusted)
{
    HostScratch scratch;
    std::string base = scratch.Path();
    fs::create_directory(base + "/private");
    fs::create_directory(base + "/group");
    fs::create_directory(base + "/world");
    fs::create_directory(base + "/search");
    chmod((base + "/private").c_str(), 0700);
    chmod((base + "/group").c_str(), 0750);
    chmod((base + "/world").c_str(), 0707);
    chmod((base + "/search").c_str(), 0701);
    fs::create_directory_symlink(base + "/private", base + "/link");
    std::ofstream(base + "/file") << "x";
    struct {
        const char* name;
        uid_t uid;
        bool trusted;
    } cases[] = {
        {"private", geteuid(), true},     {"private", geteuid() + 1, false}, {"group", geteuid(), false},
        {"world", geteuid(), false},      {"search", geteuid(), false},      {"link", geteuid(), false},
        {"file", geteuid(), false},       {"missing", geteuid(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPrivateDirectory(base + "/" + c.name, c.uid), c.trusted) << c.name;
    }
}

TEST(PublishFolderTest, TheRuntimeFolderIsUsedWhenItFits)
{
    HostScratch scratch;
    EXPECT_EQ(PublishDirectory(), scratch.RuntimePath() + "/quorix");
    scratch.Set("XDG_RUNTIME_DIR", "/" + std::string(200, 'r'));  // no socket name would fit
    EXPECT_EQ(PublishDirectory(), "/tmp/quorix-" + std::to_string(geteuid()));
    scratch.Set("XDG_RUNTIME_DIR", "relative");
    EXPECT_EQ(PublishDirectory(), "/tmp/quorix-" + std::to_string(geteuid()));
}

TEST(PeerCheckTest, APeerOfAnotherUserIsRefused)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, pair), 0);
    pid_t pid = 0;
    EXPECT_TRUE(PeerRunsAs(pair[0], geteuid(), &pid));
    EXPECT_EQ(pid, getpid());
    EXPECT_FALSE(PeerRunsAs(pair[0], geteuid() + 1, nullptr));
    close(pair[0]);
    close(pair[1]);
    int notSocket = open("/dev/null", O_RDONLY);
    EXPECT_FALSE(PeerRunsAs(notSocket, geteuid(), nullptr));
    close(notSocket);
}

class CrossProcessTest : public ::testing::Test {
protected:
    HostScratch m_scratch;
};

TEST_F(CrossProcessTest, AnotherProcessFindsRaisesAndCommandsTheWindow)
{
    PublishChild child;
    ASSERT_TRUE(child.Ready());
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12 "), nullptr);
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"quorix v3.12"), nullptr);
    EXPECT_EQ(FindRemoteWindow(u"OTHER", u"Quorix V3.12"), nullptr);
    HWND remote = FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12");
    ASSERT_NE(remote, nullptr);
    auto value = reinterpret_cast<std::uintptr_t>(remote);
    EXPECT_NE(value & (std::uintptr_t(1) << 40), 0u);
    EXPECT_EQ(value & 1u, 0u);
    EXPECT_TRUE(IsRemoteWindow(remote));
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", nullptr), remote);  // the same window, the same handle
    EXPECT_FALSE(IsRemoteWindow(reinterpret_cast<HWND>(value + 4)));

    EXPECT_TRUE(RemoteSetForegroundWindow(remote));
    EXPECT_EQ(child.NextLine(), "raise");
    SetLastError(ERROR_GEN_FAILURE);
    EXPECT_EQ(RemoteSendMessage(remote, WM_COMMAND, 40008, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(child.NextLine(), "command 40008");
}

TEST_F(CrossProcessTest, OnlyPlainCommandsAreCarried)
{
    PublishChild child;
    ASSERT_TRUE(child.Ready());
    HWND remote = FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12");
    ASSERT_NE(remote, nullptr);
    struct {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    } refused[] = {
        {WM_CLOSE, 0, 0},
        {WM_COMMAND, 40008, 1},                          // a control handle means nothing elsewhere
        {WM_COMMAND, WPARAM(1) << 32, 0},                // more than WM_COMMAND's 32 bits
    };
    for (const auto& r : refused) {
        SetLastError(0);
        EXPECT_EQ(RemoteSendMessage(remote, r.msg, r.wParam, r.lParam), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(child.NextLine(300), "");
}

TEST_F(CrossProcessTest, AnEndedProcessIsNoLongerReached)
{
    HWND remote;
    {
        PublishChild child;
        ASSERT_TRUE(child.Ready());
        remote = FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12");
        ASSERT_NE(remote, nullptr);
    }
    EXPECT_TRUE(SocketFiles(PublishFolder(m_scratch)).empty());  // withdrawn on the way out
    SetLastError(0);
    EXPECT_FALSE(RemoteSetForegroundWindow(remote));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    RemoteSendMessage(remote, WM_COMMAND, 40008, 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12"), nullptr);
}

TEST_F(CrossProcessTest, AStaleSocketOfACrashedProcessDoesNotBlockANewStart)
{
    {
        PublishChild crashed;
        ASSERT_TRUE(crashed.Ready());
        crashed.Kill();
    }
    ASSERT_EQ(SocketFiles(PublishFolder(m_scratch)).size(), 1u);  // left behind by the crash
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12"), nullptr);
    EXPECT_TRUE(SocketFiles(PublishFolder(m_scratch)).empty());  // the finder removed it

    PublishChild next;
    ASSERT_TRUE(next.Ready());
    HWND remote = FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12");
    ASSERT_NE(remote, nullptr);
    EXPECT_EQ(RemoteSendMessage(remote, WM_COMMAND, 40006, 0), 0);
    EXPECT_EQ(next.NextLine(), "command 40006");
}

TEST_F(CrossProcessTest, AStaleSocketIsRemovedEvenWithoutACrashedProcess)
{
    std::string folder = PublishFolder(m_scratch);
    ASSERT_TRUE(MakePrivateDirectory(folder, geteuid()));
    int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = folder + "/99999-0.sock";
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);  // bound, never listening: what a crash leaves
    EXPECT_EQ(FindRemoteWindow(nullptr, nullptr), nullptr);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(CrossProcessTest, AClientOfAnotherUserIsRefused)
{
    PublishChildOptions options;
    options.refuseOurUser = true;
    PublishChild child(options);
    ASSERT_TRUE(child.Ready());
    std::vector<std::string> sockets = SocketFiles(PublishFolder(m_scratch));
    ASSERT_EQ(sockets.size(), 1u);
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12"), nullptr);
    EXPECT_TRUE(RawRequest(sockets[0], CommandPacket(kChildWindow, 40008)).empty());
    EXPECT_EQ(child.NextLine(300), "");
    EXPECT_EQ(SocketFiles(PublishFolder(m_scratch)).size(), 1u);  // refused, yet not taken for stale
}

TEST_F(CrossProcessTest, MalformedRequestsAreDroppedAndServingGoesOn)
{
    PublishChild child;
    ASSERT_TRUE(child.Ready());
    std::vector<std::string> sockets = SocketFiles(PublishFolder(m_scratch));
    ASSERT_EQ(sockets.size(), 1u);
    std::vector<std::uint8_t> good = CommandPacket(kChildWindow, 40008);
    PublishMessage ackMessage;
    ackMessage.kind = PublishKind::kAck;
    const std::vector<std::uint8_t> malformed[] = {
        {0xDE, 0xAD, 0xBE, 0xEF},
        [&] { auto p = good; p[0] = 9; return p; }(),
        [&] { auto p = good; p[2] = 0xFF; return p; }(),
        std::vector<std::uint8_t>(good.begin(), good.end() - 2),
        std::vector<std::uint8_t>(70000, 1),
        EncodePublishMessage(ackMessage),  // a reply is no request
    };
    for (const auto& packet : malformed) {
        EXPECT_TRUE(RawRequest(sockets[0], packet).empty());
    }
    EXPECT_EQ(child.NextLine(300), "");

    PublishMessage reply;
    std::vector<std::uint8_t> answer = RawRequest(sockets[0], CommandPacket(0x44, 40008));  // no such window
    ASSERT_TRUE(DecodePublishMessage(answer.data(), answer.size(), &reply));
    EXPECT_EQ(reply.status, PublishStatus::kNoWindow);
    answer = RawRequest(sockets[0], good);
    ASSERT_TRUE(DecodePublishMessage(answer.data(), answer.size(), &reply));
    EXPECT_EQ(reply.kind, PublishKind::kAck);
    EXPECT_EQ(reply.status, PublishStatus::kDone);
    EXPECT_EQ(child.NextLine(), "command 40008");
}

TEST_F(CrossProcessTest, ASilentClientDoesNotHoldTheWindowUp)
{
    PublishChild child;
    ASSERT_TRUE(child.Ready());
    std::vector<std::string> sockets = SocketFiles(PublishFolder(m_scratch));
    ASSERT_EQ(sockets.size(), 1u);
    int error = 0;
    int silent = ConnectPublished(sockets[0], 2000, &error);  // connects, then says nothing
    ASSERT_GE(silent, 0);
    HWND remote = FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12");
    EXPECT_NE(remote, nullptr);
    close(silent);
}

TEST_F(CrossProcessTest, OwnWindowsAreNotRemote)
{
    HWND local = reinterpret_cast<HWND>(std::uintptr_t(0x48));
    PublishWindow(local, u"MYQUORIX", u"Quorix V3.12");
    EXPECT_EQ(SocketFiles(PublishFolder(m_scratch)).size(), 1u);
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12"), nullptr);
    EXPECT_FALSE(IsRemoteWindow(local));
    WithdrawWindow(local);
    EXPECT_TRUE(SocketFiles(PublishFolder(m_scratch)).empty());
}

// "Delivered" means the program's user-interface thread took the command. A thread that does not
// take it within a while gets nothing queued behind its back, and the sender hears so.
TEST_F(CrossProcessTest, ACommandIsDeliveredOnlyOnceTheUiThreadTakesIt)
{
    HWND local = reinterpret_cast<HWND>(std::uintptr_t(0x4C));
    PublishWindow(local, u"MYQUORIX", u"Quorix V3.12");
    std::vector<std::string> sockets = SocketFiles(PublishFolder(m_scratch));
    ASSERT_EQ(sockets.size(), 1u);
    auto statusOf = [](const std::vector<std::uint8_t>& answer) {
        PublishMessage reply;
        return DecodePublishMessage(answer.data(), answer.size(), &reply) ? static_cast<int>(reply.status) : -1;
    };
    MSG msg;
    // This thread is the UI thread, and it is stuck in the request itself.
    EXPECT_EQ(statusOf(RawRequest(sockets[0], CommandPacket(0x4C, 40004))), static_cast<int>(PublishStatus::kNoWindow));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "queued all the same";

    std::vector<std::uint8_t> served;
    std::thread sender([&] { served = RawRequest(sockets[0], CommandPacket(0x4C, 40004)); });
    bool taken = false;
    for (int i = 0; i < 300 && !taken; ++i) {
        taken = PeekMessage(&msg, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE);
        if (!taken) usleep(10 * 1000);
    }
    sender.join();
    EXPECT_TRUE(taken);
    EXPECT_EQ(statusOf(served), static_cast<int>(PublishStatus::kDone));
    WithdrawWindow(local);
}

TEST_F(CrossProcessTest, NothingIsPublishedInAFolderOthersCanEnter)
{
    std::string folder = PublishFolder(m_scratch);
    fs::create_directory(folder);
    chmod(folder.c_str(), 0755);
    HWND local = reinterpret_cast<HWND>(std::uintptr_t(0x48));
    PublishWindow(local, u"MYQUORIX", u"Quorix V3.12");
    EXPECT_TRUE(SocketFiles(folder).empty());
    WithdrawWindow(local);

    PublishChild child;  // refuses to publish there too
    ASSERT_TRUE(child.Ready());
    EXPECT_EQ(FindRemoteWindow(u"MYQUORIX", u"Quorix V3.12"), nullptr);
}

}  // namespace
