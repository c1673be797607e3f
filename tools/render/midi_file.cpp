#include "tools/render/midi_file.h"

#include <smf.h>
#include <sys/stat.h>

#include <cmath>

#include "tools/host/host_error.h"

namespace vrender {

namespace {

void quietLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// libsmf reports problems through GLib's log; our error message says it in one line instead.
class QuietGlibLog {
public:
  QuietGlibLog() : previous_(g_log_set_default_handler(quietLog, nullptr)) {}
  ~QuietGlibLog() { g_log_set_default_handler(previous_, nullptr); }

private:
  GLogFunc previous_;
};

} // namespace

Score readMidiFile(const std::string& path, double sampleRate) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    throw vhost::HostError("cannot read MIDI file " + path + ": no such file");
  smf_t* smf = nullptr;
  {
    QuietGlibLog quiet;
    smf = smf_load(path.c_str());
  }
  if (!smf)
    throw vhost::HostError("cannot read MIDI file " + path + ": not a valid Standard MIDI File");

  Score score;
  if (smf_tempo_t* tempo = smf_get_tempo_by_number(smf, 0))
    if (tempo->microseconds_per_quarter_note > 0)
      score.tempo = 60e6 / tempo->microseconds_per_quarter_note;
  auto toFrame = [sampleRate](double seconds) {
    return static_cast<int64_t>(std::llround(std::max(0.0, seconds) * sampleRate));
  };
  {
    QuietGlibLog quiet;
    smf_rewind(smf);
    while (smf_event_t* e = smf_get_next_event(smf)) {
      if (smf_event_is_metadata(e) || smf_event_is_sysex(e) || e->midi_buffer_length < 2) continue;
      const unsigned char* m = e->midi_buffer;
      const int status = m[0] & 0xF0;
      const int channel = m[0] & 0x0F;
      const int d1 = m[1] & 0x7F;
      const int d2 = e->midi_buffer_length > 2 ? (m[2] & 0x7F) : 0;
      ScoreEvent ev;
      ev.frame = toFrame(e->time_seconds);
      ev.channel = channel;
      switch (status) {
      case 0x90:
        ev.kind = d2 > 0 ? ScoreEvent::Kind::NoteOn : ScoreEvent::Kind::NoteOff;
        ev.data1 = d1;
        ev.data2 = d2;
        break;
      case 0x80:
        ev.kind = ScoreEvent::Kind::NoteOff;
        ev.data1 = d1;
        ev.data2 = d2;
        break;
      case 0xB0:
        ev.kind = ScoreEvent::Kind::Controller;
        ev.data1 = d1;
        ev.data2 = d2;
        break;
      case 0xA0:
        ev.kind = ScoreEvent::Kind::PolyPressure;
        ev.data1 = d1;
        ev.data2 = d2;
        break;
      case 0xD0:
        ev.kind = ScoreEvent::Kind::ChannelPressure;
        ev.data2 = d1;
        break;
      case 0xE0:
        ev.kind = ScoreEvent::Kind::PitchBend;
        ev.data2 = d1 | (d2 << 7);
        break;
      default:
        continue; // program change has no VST3 route here
      }
      score.events.push_back(ev);
    }
    score.endFrame = toFrame(smf_get_length_seconds(smf));
  }
  smf_delete(smf);
  finishScore(score);
  return score;
}

} // namespace vrender
