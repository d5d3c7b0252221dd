#include "cvstgui_timer.h"

const char* kMsgTimer = "timer fired";

CVSTGUITimer::CVSTGUITimer(CBaseObject* listener, int32_t fireTimeMs, bool doStart)
    : listener(listener), fireTime(fireTimeMs) {
    if (doStart) start();
}

CVSTGUITimer::~CVSTGUITimer() {
    stop();
}

bool CVSTGUITimer::start() {
    if (running) return false;
    running = true;
    nextFire = IdleClock::now() + std::chrono::milliseconds(fireTime);
    IdleClients::add(this);
    return true;
}

bool CVSTGUITimer::stop() {
    if (!running) return false;
    running = false;
    IdleClients::remove(this);
    return true;
}

bool CVSTGUITimer::setFireTime(int32_t ms) {
    if (ms <= 0) return false;
    fireTime = ms;
    if (running) nextFire = IdleClock::now() + std::chrono::milliseconds(fireTime);
    return true;
}

void CVSTGUITimer::onIdle(IdleClock::time_point now) {
    if (!running || now < nextFire) return;
    nextFire = now + std::chrono::milliseconds(fireTime);
    if (listener) listener->notify(this, kMsgTimer);
}
