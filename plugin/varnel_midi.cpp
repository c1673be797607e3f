#include "plugin/varnel.h"

void Varnel::ProcessMidiMsg(const IMidiMsg& message) {
  if (midiThru) SendMidiMsg(message);
  IMidiMsg msg = message;
  if (msg.status < 0x80 || msg.StatusMsg() == 0xF) return;

  // Messages due after this period are shifted half a period later.
  const auto adjustOffset = [this](IMidiMsg& m) {
    if (m.offset > controlPeriod) m.offset += controlPeriod / 2;
  };
  switch (msg.StatusMsg()) {
  case 0x9:
    if (msg.data2 == 0) msg.status = 0x80;
    adjustOffset(msg);
    midiQueue.add(msg);
    break;
  case 0x8:
  case 0xD:
  case 0xE:
    adjustOffset(msg);
    midiQueue.add(msg);
    break;
  case 0xB: {
    const int cc = msg.data1;
    if (cc <= 119 && midiLearnActive) {
      setMidiLearnCC(cc);
    } else if (cc == 64) {
      midiQueue.add(msg);
    } else if (cc <= 119) {
      adjustOffset(msg);
      midiQueue.add(msg);
    } else if (cc == 120 || cc == 123) {
      allNotesOff();
    }
    break;
  }
  case 0xC:
    if (!ignoreProgramChange) RestorePreset(msg.data1);
    break;
  default:
    break;
  }
}

void Varnel::handleMidiEvents() {
  while (!midiQueue.empty() && midiQueue.front().offset < controlPeriod) {
    const IMidiMsg& msg = midiQueue.front();
    switch (msg.StatusMsg()) {
    case 0x8:
      setNoteOff(msg.data1);
      break;
    case 0x9:
      setNoteOn(msg.data1, msg.data2);
      break;
    case 0xB:
      handleController(msg.data1, msg.data2);
      break;
    case 0xD:
      aftertouch = msg.data1 / 127.0;
      break;
    case 0xE:
      pitchBend = (msg.data2 * 128 + msg.data1 - 8192) / 8192.0;
      pitchBendPos = (pitchBend + 1.0) * 0.5;
      break;
    default:
      break;
    }
    midiQueue.popFront();
  }
  midiQueue.compactAndShift(controlPeriod);
}

void Varnel::handleController(int cc, int value) {
  const double v = value / 127.0;
  if (cc == 64) {
    forEachVoice([&](Voice& voice) { voice.setSustain(value != 0); });
  }
  if (cc == 1) {
    modWheelPos = v;
    modWheel = 2.0 * v - 1.0;
  }
  const int triggerCc[2] = {trigger1Cc, trigger2Cc};
  for (int t = 0; t < 2; ++t) {
    if (cc == triggerCc[t]) {
      trigPrevState[t] = trigState[t];
      trigState[t] = v > 0.5;
    }
  }
  for (int k = 0; k < 4; ++k)
    if (cc == vcCc[k]) vcValue[k] = v;
  if (cc < kNumLearnableCCs) {
    const int param = ccMap[static_cast<size_t>(cc)];
    if (param >= 0 && param < kNumParams && v != GetParam(param)->GetNormalized())
      SetParameterValue(param, v);
  }
}

void Varnel::setNoteOn(int key, int velocity) {
  addPressedKey(key, velocity);

  Voice* chosen = nullptr;
  for (Voice& voice : voices) {
    if (voice.getKey() == key) {
      chosen = &voice;
      break;
    }
  }
  if (!chosen) {
    for (Voice& voice : voices) {
      if (!voice.isActive()) {
        chosen = &voice;
        break;
      }
    }
  }
  if (!chosen) {
    chosen = &voices[0];
    for (Voice& voice : voices)
      if (voice.getSerial() < chosen->getSerial()) chosen = &voice;
  }

  ++noteOnCounter;
  triggers[kTrigMlt] = true;
  const int held = pressedKeyCount();
  if (held == 1) triggers[kTrigSng] = true;
  if (kbdTrigger >= 1 && kbdTrigger <= 5) triggers[kTrigKbd] = held == kbdTrigger;
  lastKey = 2.0 * key / 127.0 - 1.0;
  chosen->setNoteOn(key, noteOnCounter, 2.0 * velocity / 127.0 - 1.0);
  activeVoices |= uint64_t{1} << (chosen - voices);
}

void Varnel::setNoteOff(int key) {
  removePressedKey(key);
  if (pressedKeyCount() == 0) geg.stop();
  for (Voice& voice : voices) {
    if (voice.isActive() && voice.getKey() == key) {
      voice.setNoteOff();
      break;
    }
  }
}

void Varnel::allNotesOff() {
  clearKeyBuffer();
  forEachVoice([](Voice& voice) {
    voice.setSustain(false);
    voice.setNoteOff();
  });
}
