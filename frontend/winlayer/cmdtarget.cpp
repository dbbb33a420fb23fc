#include "frontend/winlayer/cmdtarget.hpp"

namespace winlayer::hooks {

namespace {
CommandTrace& trace() {
  static CommandTrace t;
  return t;
}
}  // namespace

void setCommandTrace(CommandTrace t) { trace() = std::move(t); }
void traceCommand(UINT id, const std::any& handler) {
  if (trace()) trace()(id, handler);
}
bool commandTraceActive() { return static_cast<bool>(trace()); }

}  // namespace winlayer::hooks
