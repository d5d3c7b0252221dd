// A periodic timer that sends kMsgTimer to its listener's notify. It fires
// from the host's idle calls, so its resolution is the idle rate; a late
// idle fires once, not once per missed period.
#pragma once

#include "cbase_object.h"
#include "idle_clients.h"

#include <cstdint>

extern const char* kMsgTimer;

class CVSTGUITimer : public CBaseObject, private IIdleClient {
public:
    CVSTGUITimer(CBaseObject* listener, int32_t fireTimeMs, bool doStart = false);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool setFireTime(int32_t ms);
    int32_t getFireTime() const { return fireTime; }
    bool isRunning() const { return running; }
    void setListener(CBaseObject* l) { listener = l; }

private:
    void onIdle(IdleClock::time_point now) override;

    CBaseObject* listener;
    int32_t fireTime;
    bool running = false;
    IdleClock::time_point nextFire{};
};
