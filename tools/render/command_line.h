#pragma once
// The varnel-render command line (CLI11): parsing and the checks of every value's range.
#include <iosfwd>
#include <optional>

#include "tools/render/render_options.h"

namespace vrender {

// Fills `options`; returns an exit code when the program should stop now (0 after --help,
// 2 with a one-line error on `err` for a bad option or value).
std::optional<int> parseCommandLine(int argc, const char* const* argv, RenderOptions& options,
                                    std::ostream& out, std::ostream& err);

} // namespace vrender
