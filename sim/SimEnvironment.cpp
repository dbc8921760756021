#include "sim/SimEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/SimBridge.h"

namespace usbdriver::sim {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

void Note(std::string& error, const std::string& text) {
    if (!error.empty())
        error += "; ";
    error += text;
}

}  // namespace

std::optional<SimOptions> OptionsFromEnvironment(std::string& error) {
    error.clear();
    const std::string probe = Env("TORVIK_PROBE");
    if (probe != "sim-convex" && probe != "sim-linear") {
        if (!probe.empty())
            Note(error, "TORVIK_PROBE: '" + probe + "' is neither sim-convex nor sim-linear");
        return std::nullopt;
    }
    SimOptions options;
    options.linear = probe == "sim-linear";

    const std::string pacing = Env("TORVIK_SIM_PACING");
    if (pacing == "unpaced") {
        options.pacing = SimPacing::Unpaced;
    } else if (!pacing.empty() && pacing != "realtime") {
        Note(error, "TORVIK_SIM_PACING: '" + pacing + "' is neither realtime nor unpaced");
    }

    const std::string chip = Env("TORVIK_SIM_CHIP");
    if (chip == "factory") {
        options.chipConfigured = false;
    } else if (!chip.empty() && chip != "configured") {
        Note(error, "TORVIK_SIM_CHIP: '" + chip + "' is neither configured nor factory");
    }

    const std::string seed = Env("TORVIK_SIM_SEED");
    if (!seed.empty()) {
        uint64_t value = 0;
        if (ParseNumber(seed, value)) {
            options.seed = value;
        } else {
            Note(error, "TORVIK_SIM_SEED: '" + seed + "' is not a number");
        }
    }

    std::string script = Env("TORVIK_SIM_FAULTS");
    if (!script.empty() && script[0] == '@') {
        std::ifstream file(script.substr(1));
        std::ostringstream text;
        text << file.rdbuf();
        if (!file)
            Note(error, "TORVIK_SIM_FAULTS: cannot read " + script.substr(1));
        script = text.str();
    }
    std::string scriptError;
    if (!SimFaultScript::Parse(script, options.faults, scriptError)) {
        Note(error, "TORVIK_SIM_FAULTS: " + scriptError + " (no faults)");
        options.faults = SimFaultScript();
    }
    return options;
}

std::shared_ptr<IUsbDevice> CreateDeviceFromEnvironment() {
    std::string error;
    std::optional<SimOptions> options = OptionsFromEnvironment(error);
    if (!error.empty())
        std::fprintf(stderr, "probe simulator: %s\n", error.c_str());
    if (!options)
        return nullptr;
    return std::make_shared<SimBridge>(std::move(*options));
}

void InstallEnvironmentDevice() {
    SetDefaultDeviceFactory(&CreateDeviceFromEnvironment);
}

}  // namespace usbdriver::sim
