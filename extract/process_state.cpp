#include "extract/process_state.h"

#include <map>

namespace zv::extract {

namespace {
std::map<const App*, ExtractProcessState>& states() {
  static std::map<const App*, ExtractProcessState> s;
  return s;
}
}  // namespace

ExtractProcessState& processState(const App& app) { return states()[&app]; }

void forgetProcessState(const App& app) { states().erase(&app); }

}  // namespace zv::extract
