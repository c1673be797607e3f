#pragma once
// FXP program and FXB bank files as the host reads and writes them. Chunk forms ("FPCh",
// "FBCh") carry the plug-in's state chunk; parameter-list forms ("FxCk", "FxBk") carry
// normalised values in parameter order.
#include <cstdint>
#include <string>
#include <vector>

namespace vrender {

// Who the files belong to.
struct FxIdentity {
  int32_t fxId = 0;      // four-character plug-in ID
  int32_t fxVersion = 0; // major * 10000 + minor * 100 + bugfix
  int32_t numParams = 0;
};

struct FxProgram {
  std::string name;
  bool initialised = true;
  bool isChunk = true;
  std::vector<uint8_t> chunk; // chunk form: the state chunk, without the chunk version header
  std::vector<float> values;  // parameter-list form
};

struct FxBank {
  int32_t currentProgram = 0;
  std::vector<FxProgram> programs; // as many as the file holds
};

// The magic of the optional 8-byte chunk version header (bytes 74 66 66 70).
constexpr uint32_t kChunkHeaderMagic = 0x70666674;
constexpr int32_t kChunkHeaderVersion = 0x00010000;

std::string fourCCText(int32_t id);
// major.minor.bugfix as in a class version string ("1.1.2" -> 10102).
int32_t fxVersionFromString(const std::string& version);

// All throw vhost::HostError with a sentence naming `what` (usually the file path).
FxProgram parseFxp(const std::vector<uint8_t>& bytes, const FxIdentity& id,
                   const std::string& what);
FxBank parseFxb(const std::vector<uint8_t>& bytes, const FxIdentity& id, const std::string& what);
FxProgram readFxp(const std::string& path, const FxIdentity& id);
FxBank readFxb(const std::string& path, const FxIdentity& id);

// A chunk-form FXP of a state chunk: chunk version header in front, byte-size field S + 60 as
// the plug-in's own writer puts it, the name cut to 27 characters.
std::vector<uint8_t> buildFxp(const FxIdentity& id, const std::string& name,
                              const std::vector<uint8_t>& stateChunk);
// Writes through a temporary file, so a failed write leaves an existing file as it was.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readFile(const std::string& path, const std::string& kind);

} // namespace vrender
