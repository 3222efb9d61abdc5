// Fuzz target: the decoder of messages between processes. Anything it accepts must encode back
// to the very same bytes (the format has exactly one spelling of each message), and re-decode.
#include <algorithm>
#include <cstdint>
#include <vector>
#include "fuzz/fuzz_input.h"
#include "platform/publish/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PublishMessage message;
    if (!DecodePublishMessage(data, size, &message)) return 0;
    FUZZ_CHECK(size >= kPublishHeaderSize && size <= kPublishPacketCap);
    FUZZ_CHECK(message.windows.size() <= kPublishWindowCap);
    for (const PublishedEntry& entry : message.windows) {
        FUZZ_CHECK(entry.className.size() <= kPublishNameCap);
        FUZZ_CHECK(entry.title.size() <= kPublishNameCap);
    }
    std::vector<std::uint8_t> again = EncodePublishMessage(message);
    FUZZ_CHECK(again.size() == size);
    FUZZ_CHECK(std::equal(again.begin(), again.end(), data));
    PublishMessage twice;
    FUZZ_CHECK(DecodePublishMessage(again.data(), again.size(), &twice));
    FUZZ_CHECK(twice.kind == message.kind);
    return 0;
}
