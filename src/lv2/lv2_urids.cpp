#include "lv2_urids.h"

#include "host_parameters.h"
#include "lv2_uris.h"

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/time/time.h>

Lv2Urids::Lv2Urids(const LV2_URID_Map& map) {
    auto m = [&map](const char* uri) { return map.map(map.handle, uri); };
    atomBlank = m(LV2_ATOM__Blank);
    atomBool = m(LV2_ATOM__Bool);
    atomChunk = m(LV2_ATOM__Chunk);
    atomDouble = m(LV2_ATOM__Double);
    atomFloat = m(LV2_ATOM__Float);
    atomInt = m(LV2_ATOM__Int);
    atomLong = m(LV2_ATOM__Long);
    atomObject = m(LV2_ATOM__Object);
    atomSequence = m(LV2_ATOM__Sequence);
    atomUrid = m(LV2_ATOM__URID);
    midiEvent = m(LV2_MIDI__MidiEvent);
    timePosition = m(LV2_TIME__Position);
    timeBar = m(LV2_TIME__bar);
    timeBarBeat = m(LV2_TIME__barBeat);
    timeBeat = m(LV2_TIME__beat);
    timeBeatUnit = m(LV2_TIME__beatUnit);
    timeBeatsPerBar = m(LV2_TIME__beatsPerBar);
    timeBeatsPerMinute = m(LV2_TIME__beatsPerMinute);
    timeSpeed = m(LV2_TIME__speed);
    patchGet = m(LV2_PATCH__Get);
    patchSet = m(LV2_PATCH__Set);
    patchPut = m(LV2_PATCH__Put);
    patchBody = m(LV2_PATCH__body);
    patchProperty = m(LV2_PATCH__property);
    patchValue = m(LV2_PATCH__value);
    patchSubject = m(LV2_PATCH__subject);
    plugin = m(kZandrelLv2Uri);
    stateChunk = m(kZandrelChunkKey);
    for (const HostParameter& p : kHostParameters) {
        char uri[96];
        zandrelParameterUri(uri, sizeof uri, p.id);
        parameter[p.index] = m(uri);
    }
}
