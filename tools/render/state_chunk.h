#pragma once
// The instrument's state chunk as a host sees it inside program and bank files: an optional
// marker with program index and name, then one double per parameter. The host needs its length
// to walk a bank, and rewrites index and name to select a program by restoring state.
#include <cstdint>
#include <string>
#include <vector>

namespace vrender {

inline constexpr char kStateMarker[] = "Varnel_1.1.1";
inline constexpr size_t kStateMarkerLength = sizeof(kStateMarker) - 1;

// Length of the chunk that starts at pos, or -1 when the bytes end before it does.
int64_t stateChunkLength(const std::vector<uint8_t>& bytes, size_t pos, int32_t numParams);

bool hasStateMarker(const std::vector<uint8_t>& chunk);
// The program name inside a marked chunk ("" for an unmarked or short one).
std::string stateProgramName(const std::vector<uint8_t>& chunk);
// A marked chunk with the program index and name replaced; an unmarked chunk is returned as is.
std::vector<uint8_t> withProgram(const std::vector<uint8_t>& chunk, int32_t index,
                                 const std::string& name);

// What the host hands to setState: the chunk followed by the int32 bypass flag 0.
std::vector<uint8_t> hostState(const std::vector<uint8_t>& chunk);
// The chunk inside a host state (the state without its trailing bypass flag).
std::vector<uint8_t> chunkOfHostState(const std::vector<uint8_t>& state);

} // namespace vrender
