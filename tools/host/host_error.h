#pragma once
// Failures of the host library: one readable sentence for the user.
#include <stdexcept>
#include <string>

namespace vhost {

class HostError : public std::runtime_error {
public:
  explicit HostError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace vhost
