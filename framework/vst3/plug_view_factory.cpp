#include "framework/vst3/plug_view_factory.h"

#include <atomic>

namespace {
std::atomic<PlugViewFactory> gFactory{nullptr};
}

void SetPlugViewFactory(PlugViewFactory factory) {
  gFactory.store(factory);
}
PlugViewFactory GetPlugViewFactory() {
  return gFactory.load();
}
