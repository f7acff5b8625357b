// A window with only the named controls, standing in for a window another area provides, so a
// test can watch what its window does to it.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/app.h"
#include "core/forms/form.h"

namespace zv::testing {

class StandInForm : public Form {
 public:
  StandInForm(App& app, const std::string& name,
              const std::vector<std::pair<std::string, Kind>>& controls)
      : Form(app, name) {
    for (const auto& [n, k] : controls) add(n, k);
  }
};

// Defines `name` in the registry as a stand-in with those controls.
inline void defineStandIn(FormRegistry& forms, const std::string& name,
                          std::vector<std::pair<std::string, Kind>> controls) {
  forms.define(name, [name, controls](App& app) {
    return std::make_unique<StandInForm>(app, name, controls);
  });
}

}  // namespace zv::testing
