#pragma once
// varnel-render as a function: the executable and the integration tests both call it.
#include <iosfwd>

#include "tools/render/render_options.h"

namespace vrender {

// Returns the exit status; errors are one line on `err` ("varnel-render: error: ...").
int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err);

// Parses the command line, then runs.
int renderMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace vrender
