// The messages between a process that publishes windows and one that looks for them: one request
// and one reply per connection. A packet is a version byte, a kind byte, the payload's length
// (16 bits, little-endian) and the payload. Internal to the layer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint8_t kPublishVersion = 1;
constexpr std::size_t kPublishHeaderSize = 4;
constexpr std::size_t kPublishNameCap = 256;    // code units in a class name or a title
constexpr std::size_t kPublishWindowCap = 32;   // windows one process lists
constexpr std::size_t kPublishPacketCap = kPublishHeaderSize + 0xFFFF;

enum class PublishKind : std::uint8_t {
    kIdentify = 1,    // request: which windows do you have?
    kWindowList = 2,  // reply to kIdentify
    kRaise = 3,       // request: bring a window to the front
    kCommand = 4,     // request: post WM_COMMAND to a window
    kAck = 5,         // reply to kRaise and kCommand
};

enum class PublishStatus : std::uint8_t { kDone = 0, kNoWindow = 1 };

struct PublishedEntry {
    std::uint64_t window = 0;  // the publisher's own HWND value
    std::u16string className;
    std::u16string title;
};

struct PublishMessage {
    PublishKind kind = PublishKind::kIdentify;
    std::vector<PublishedEntry> windows;          // kWindowList
    std::uint64_t window = 0;                     // kRaise, kCommand
    std::uint32_t command = 0;                    // kCommand: WM_COMMAND's wParam
    PublishStatus status = PublishStatus::kDone;  // kAck
};

// Entries past the caps are left out and names cut to kPublishNameCap.
std::vector<std::uint8_t> EncodePublishMessage(const PublishMessage& message);
// False for anything not exactly a well-formed packet of this version.
bool DecodePublishMessage(const std::uint8_t* data, std::size_t size, PublishMessage* message);
