// Answering one decoded method call from the accessibility tree: the reply message, or an error
// message, built without a connection (the bridge sends it; the fuzz target only looks at it).
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/access/access_tree.h"
#include "platform/access/dbus_api.h"

// The objects that clients have been told of: a number for each, kept until the object is gone,
// never reused, so a call for a departed object is told so instead of reaching another one.
class AccessObjects {
public:
    std::uint32_t IdOf(const AccessRef& ref);
    bool Find(std::uint32_t id, AccessRef* ref) const;
    void Forget(std::uint32_t id);
    std::vector<std::uint32_t> Ids() const;
    void Clear();

private:
    struct Entry {
        std::uint32_t id;
        AccessRef ref;
    };
    std::vector<Entry> m_entries;
    std::uint32_t m_next = 1;
};

struct AtspiContext {
    const DbusApi* dbus = nullptr;
    std::string busName;                     // ours, for object references
    std::string desktopName, desktopPath;    // the registry's root, our root's parent
    AccessObjects* objects = nullptr;
    std::int32_t applicationId = 0;
    std::vector<AccessRef>* actions = nullptr;  // DoAction queues here; performed after replying
    // Called with each container whose children a client has been given.
    void (*childrenGiven)(std::uint32_t id, const std::vector<AccessRef>& children) = nullptr;
};

// Null when the call wants no reply (or memory ran out).
DBusMessage* AnswerAtspiCall(AtspiContext& context, DBusMessage* call);

// The device-screen rectangle in AT-SPI coordinates of `coordType` (screen or window: the
// desktop window's pixels; parent: relative to `parent`).
RECT AtspiCoordinates(const RECT& device, std::uint32_t coordType, const RECT& parent);
