// Reference counting and the notification channel shared by every toolkit
// object. A new object holds one reference, which its creator owns until
// it hands it on (a view added to a container hands it to the container).
#pragma once

#include <cstdint>

using CMessageResult = int32_t;
inline constexpr CMessageResult kMessageUnknown = 0;
inline constexpr CMessageResult kMessageNotified = 1;

class CBaseObject {
public:
    CBaseObject() = default;
    virtual ~CBaseObject() = default;
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;

    void remember() { ++refCount; }
    void forget() {
        if (--refCount == 0) delete this;
    }
    int32_t getNbReference() const { return refCount; }

    // message is one of the toolkit's message strings (compared by address).
    virtual CMessageResult notify(CBaseObject* /*sender*/, const char* /*message*/) {
        return kMessageUnknown;
    }

private:
    int32_t refCount = 1;
};
