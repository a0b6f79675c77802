#include "backends/BackendChoice.h"

#include "config/EchoedText.h"

namespace kelo::backends {

namespace {

struct NamedChoice {
    const char* name;
    BackendChoice choice;
};

constexpr NamedChoice kChoices[] = {
    {"auto", BackendChoice::Auto},
    {"gige", BackendChoice::Gige},
    {"aravis-fake", BackendChoice::AravisFake},
    {"sim", BackendChoice::Sim},
};

}  // namespace

BackendChoice parseBackendChoice(const char* value, std::string& warning) {
    warning.clear();
    if (value == nullptr || *value == '\0') return BackendChoice::Auto;
    for (const NamedChoice& named : kChoices)
        if (std::string(value) == named.name) return named.choice;
    warning = "KELO_CAMERA_BACKEND is \"" + kelo::echoed(value) +
              "\", not one of auto, gige, aravis-fake, sim: auto is used";
    return BackendChoice::Auto;
}

}  // namespace kelo::backends
