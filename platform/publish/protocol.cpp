// Encoding and strict decoding of the publishing messages: a decoder that accepts only what the
// encoder writes, so that a malformed packet is dropped whole.
#include "platform/publish/protocol.h"

#include <algorithm>

namespace {

class Writer {
public:
    void Byte(std::uint8_t value) { m_bytes.push_back(value); }
    void Word(std::uint16_t value)
    {
        Byte(static_cast<std::uint8_t>(value));
        Byte(static_cast<std::uint8_t>(value >> 8));
    }
    void Long(std::uint32_t value)
    {
        Word(static_cast<std::uint16_t>(value));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Quad(std::uint64_t value)
    {
        Long(static_cast<std::uint32_t>(value));
        Long(static_cast<std::uint32_t>(value >> 32));
    }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Byte(std::uint8_t* value)
    {
        if (m_at >= m_size) return false;
        *value = m_data[m_at++];
        return true;
    }
    bool Word(std::uint16_t* value)
    {
        std::uint8_t low, high;
        if (!Byte(&low) || !Byte(&high)) return false;
        *value = static_cast<std::uint16_t>(low | (high << 8));
        return true;
    }
    bool Long(std::uint32_t* value)
    {
        std::uint16_t low, high;
        if (!Word(&low) || !Word(&high)) return false;
        *value = low | (static_cast<std::uint32_t>(high) << 16);
        return true;
    }
    bool Quad(std::uint64_t* value)
    {
        std::uint32_t low, high;
        if (!Long(&low) || !Long(&high)) return false;
        *value = low | (static_cast<std::uint64_t>(high) << 32);
        return true;
    }
    bool AtEnd() const { return m_at == m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

std::u16string_view Cut(const std::u16string& text)
{
    return std::u16string_view(text).substr(0, kPublishNameCap);
}

void WriteWindowList(Writer* out, const std::vector<PublishedEntry>& windows)
{
    std::size_t count = std::min(windows.size(), kPublishWindowCap);
    out->Word(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string_view className = Cut(windows[i].className), title = Cut(windows[i].title);
        out->Quad(windows[i].window);
        out->Word(static_cast<std::uint16_t>(className.size()));
        out->Word(static_cast<std::uint16_t>(title.size()));
        for (char16_t c : className) out->Word(c);
        for (char16_t c : title) out->Word(c);
    }
}

bool ReadName(Reader* in, std::uint16_t length, std::u16string* name)
{
    name->clear();
    for (std::uint16_t i = 0; i < length; ++i) {
        std::uint16_t c;
        if (!in->Word(&c) || c == 0) return false;  // a NUL would end the name early on the other side
        name->push_back(static_cast<char16_t>(c));
    }
    return true;
}

bool ReadWindowList(Reader* in, std::vector<PublishedEntry>* windows)
{
    std::uint16_t count;
    if (!in->Word(&count) || count > kPublishWindowCap) return false;
    windows->resize(count);
    for (PublishedEntry& entry : *windows) {
        std::uint16_t classLength, titleLength;
        if (!in->Quad(&entry.window) || !in->Word(&classLength) || !in->Word(&titleLength)) return false;
        if (classLength > kPublishNameCap || titleLength > kPublishNameCap) return false;
        if (!ReadName(in, classLength, &entry.className) || !ReadName(in, titleLength, &entry.title)) return false;
    }
    return true;
}

bool ReadPayload(Reader* in, PublishMessage* message)
{
    std::uint8_t status;
    switch (message->kind) {
    case PublishKind::kIdentify:
        return true;
    case PublishKind::kWindowList:
        return ReadWindowList(in, &message->windows);
    case PublishKind::kRaise:
        return in->Quad(&message->window);
    case PublishKind::kCommand:
        return in->Quad(&message->window) && in->Long(&message->command);
    case PublishKind::kAck:
        if (!in->Byte(&status) || status > static_cast<std::uint8_t>(PublishStatus::kNoWindow)) return false;
        message->status = static_cast<PublishStatus>(status);
        return true;
    }
    return false;
}

bool IsKnownKind(std::uint8_t kind)
{
    return kind >= static_cast<std::uint8_t>(PublishKind::kIdentify) && kind <= static_cast<std::uint8_t>(PublishKind::kAck);
}

}  // namespace

std::vector<std::uint8_t> EncodePublishMessage(const PublishMessage& message)
{
    Writer payload;
    switch (message.kind) {
    case PublishKind::kIdentify: break;
    case PublishKind::kWindowList: WriteWindowList(&payload, message.windows); break;
    case PublishKind::kRaise: payload.Quad(message.window); break;
    case PublishKind::kCommand:
        payload.Quad(message.window);
        payload.Long(message.command);
        break;
    case PublishKind::kAck: payload.Byte(static_cast<std::uint8_t>(message.status)); break;
    }
    Writer packet;
    packet.Byte(kPublishVersion);
    packet.Byte(static_cast<std::uint8_t>(message.kind));
    packet.Word(static_cast<std::uint16_t>(payload.Bytes().size()));
    packet.Bytes().insert(packet.Bytes().end(), payload.Bytes().begin(), payload.Bytes().end());
    return std::move(packet.Bytes());
}

bool DecodePublishMessage(const std::uint8_t* data, std::size_t size, PublishMessage* message)
{
    if (!data || size < kPublishHeaderSize || size > kPublishPacketCap) return false;
    Reader in(data, size);
    std::uint8_t version, kind;
    std::uint16_t length;
    in.Byte(&version);
    in.Byte(&kind);
    in.Word(&length);
    if (version != kPublishVersion || !IsKnownKind(kind) || length != size - kPublishHeaderSize) return false;
    PublishMessage decoded;
    decoded.kind = static_cast<PublishKind>(kind);
    if (!ReadPayload(&in, &decoded) || !in.AtEnd()) return false;
    *message = std::move(decoded);
    return true;
}
