#include "CameraNodes.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace kelo::simcam {

namespace {

using camera::AccessMode;
using Settings = CameraSettings;

enum class Writable { Always, NotWhileGrabbing, Never };

// What every node shares: its name, the camera state and when it is writable.
class NodeBase {
protected:
    NodeBase(std::string name, CameraState& state, Writable writable)
        : name(std::move(name)), state(state), writable(writable) {}

    AccessMode mode() const {
        if (state.isRemoved()) return AccessMode::NotAvailable;
        if (writable == Writable::Never) return AccessMode::ReadOnly;
        return state.isGrabbing() && writable == Writable::NotWhileGrabbing ? AccessMode::ReadOnly
                                                                            : AccessMode::ReadWrite;
    }

    template <typename Getter>
    auto get(const Getter& getter) const {
        return state.read(getter);
    }

    // Runs `change` under the state lock once the node is writable now.
    template <typename Change>
    void change(const Change& apply) {
        state.write([this, &apply](Settings& s, bool grabbing) {
            if (writable == Writable::Never || (grabbing && writable == Writable::NotWhileGrabbing))
                throw camera::AccessException(name + " is not writable now");
            apply(s);
        });
    }

    void checkVerified(bool verify, bool equal) const {
        if (verify && !equal) throw camera::VerifyException(name + " did not take the value");
    }

    const std::string name;

private:
    CameraState& state;
    const Writable writable;
};

template <typename Value>
struct NumberAccess {
    std::function<Value(const Settings&)> get;
    std::function<Value(const Settings&)> minimum;
    std::function<Value(const Settings&)> maximum;
    std::function<void(Settings&, Value)> set;  // empty for a read-only node
};

template <typename Interface, typename Value>
class NumberNode : public Interface, private NodeBase {
public:
    NumberNode(std::string name, CameraState& state, Writable writable, NumberAccess<Value> access)
        : NodeBase(std::move(name), state, writable), access(std::move(access)) {}

    AccessMode accessMode() const override { return mode(); }
    Value value() const override { return get(access.get); }
    Value minimum() const override { return get(access.minimum); }
    Value maximum() const override { return get(access.maximum); }
    void setValue(Value value, bool verify) override {
        change([&](Settings& s) {
            // Written so that NaN fails too.
            if (!(value >= access.minimum(s) && value <= access.maximum(s)))
                throw camera::OutOfRangeException(name + " value out of range");
            access.set(s, value);
            checkVerified(verify, access.get(s) == value);
        });
    }

protected:
    NumberAccess<Value> access;
};

using FloatNodeImpl = NumberNode<camera::FloatNode, double>;

class IntegerNodeImpl : public NumberNode<camera::IntegerNode, std::int64_t> {
public:
    using NumberNode::NumberNode;
    std::int64_t increment() const override { return 1; }
};

template <typename Value>
struct EnumAccess {
    std::vector<std::pair<Value, std::string>> symbols;
    std::function<Value(const Settings&)> get;
    std::function<void(Settings&, Value)> set;
};

template <typename Value>
class EnumerationNodeImpl : public camera::EnumerationNode, private NodeBase {
public:
    EnumerationNodeImpl(std::string name, CameraState& state, Writable writable,
                        EnumAccess<Value> access)
        : NodeBase(std::move(name), state, writable), access(std::move(access)) {}

    AccessMode accessMode() const override { return mode(); }
    std::string value() const override {
        const Value current = get(access.get);
        for (const auto& [symbolValue, symbol] : access.symbols)
            if (symbolValue == current) return symbol;
        return {};
    }
    bool hasSymbol(const std::string& symbol) const override {
        return find(symbol) != access.symbols.end();
    }
    void setValue(const std::string& symbol, bool verify) override {
        const auto found = find(symbol);
        if (found == access.symbols.end())
            throw camera::OutOfRangeException(name + " has no symbol \"" + symbol + "\"");
        change([&](Settings& s) {
            access.set(s, found->first);
            checkVerified(verify, access.get(s) == found->first);
        });
    }

private:
    auto find(const std::string& symbol) const {
        return std::find_if(access.symbols.begin(), access.symbols.end(),
                            [&symbol](const auto& entry) { return entry.second == symbol; });
    }

    EnumAccess<Value> access;
};

class BooleanNodeImpl : public camera::BooleanNode, private NodeBase {
public:
    BooleanNodeImpl(std::string name, CameraState& state, bool Settings::*field)
        : NodeBase(std::move(name), state, Writable::Always), field(field) {}

    AccessMode accessMode() const override { return mode(); }
    bool value() const override {
        return get([this](const Settings& s) { return s.*field; });
    }
    void setValue(bool value, bool verify) override {
        change([&](Settings& s) {
            s.*field = value;
            checkVerified(verify, s.*field == value);
        });
    }

private:
    bool Settings::*field;
};

class CameraNodeMap : public camera::NodeMap {
public:
    CameraNodeMap(CameraState& state, const std::set<std::string>& missing)
        : state(state), missing(missing) {}

    camera::FloatNode* floatNode(const std::string& name) override {
        return find<camera::FloatNode>(name);
    }
    camera::IntegerNode* integerNode(const std::string& name) override {
        return find<camera::IntegerNode>(name);
    }
    camera::EnumerationNode* enumerationNode(const std::string& name) override {
        return find<camera::EnumerationNode>(name);
    }
    camera::BooleanNode* booleanNode(const std::string& name) override {
        return find<camera::BooleanNode>(name);
    }

    void addFloat(const std::string& name, Writable writable, NumberAccess<double> access) {
        add(name, std::make_unique<FloatNodeImpl>(name, state, writable, std::move(access)));
    }
    void addInteger(const std::string& name, Writable writable, NumberAccess<std::int64_t> access) {
        add(name, std::make_unique<IntegerNodeImpl>(name, state, writable, std::move(access)));
    }
    template <typename Value>
    void addEnumeration(const std::string& name, Writable writable, EnumAccess<Value> access) {
        add(name,
            std::make_unique<EnumerationNodeImpl<Value>>(name, state, writable, std::move(access)));
    }
    void addBoolean(const std::string& name, bool Settings::*field) {
        add(name, std::make_unique<BooleanNodeImpl>(name, state, field));
    }

private:
    template <typename NodeType>
    NodeType* find(const std::string& name) {
        const auto found = nodes.find(name);
        return found == nodes.end() ? nullptr : dynamic_cast<NodeType*>(found->second.get());
    }

    void add(const std::string& name, std::unique_ptr<camera::Node> node) {
        if (missing.count(name) == 0) nodes[name] = std::move(node);
    }

    CameraState& state;
    const std::set<std::string> missing;
    std::map<std::string, std::unique_ptr<camera::Node>> nodes;
};

template <typename Value>
std::function<Value(const Settings&)> constant(Value value) {
    return [value](const Settings&) { return value; };
}

// Binning keeps the field of view: size and offset follow the new pixel pitch.
void rebin(int& width, int& offset, int oldBinning, int newBinning, int newColumns, int minimum) {
    width = std::clamp(width * oldBinning / newBinning, minimum, newColumns);
    offset = std::clamp(offset * oldBinning / newBinning, 0, newColumns - width);
}

void addExposureAndGain(CameraNodeMap& map) {
    const SensorModel& model = sensorModel();
    const auto exposureLimit = [&map, &model](const std::string& name, double Settings::*field) {
        map.addFloat(
            name, Writable::Always,
            {[field](const Settings& s) { return s.*field; }, constant(model.minExposureUs),
             constant(model.maxExposureUs), [field](Settings& s, double v) { s.*field = v; }});
    };
    exposureLimit("ExposureTime", &Settings::exposureUs);
    exposureLimit("AutoExposureTimeLowerLimit", &Settings::autoExposureLowerUs);
    exposureLimit("AutoExposureTimeUpperLimit", &Settings::autoExposureUpperUs);
    map.addFloat("Gain", Writable::Always,
                 {[](const Settings& s) { return s.gainDb; }, constant(model.minGainDb),
                  constant(model.maxGainDb), [](Settings& s, double v) { s.gainDb = v; }});
    map.addFloat("ResultingFrameRate", Writable::Never,
                 {[](const Settings& s) { return s.frameRate(); },
                  constant(1e6 / model.maxExposureUs),
                  constant(1e6 / model.readOutOverheadUs),
                  {}});

    const std::vector<std::pair<AutoMode, std::string>> autoModes = {
        {AutoMode::Off, "Off"}, {AutoMode::Once, "Once"}, {AutoMode::Continuous, "Continuous"}};
    map.addEnumeration<AutoMode>("ExposureAuto", Writable::Always,
                                 {autoModes, [](const Settings& s) { return s.exposureAuto; },
                                  [](Settings& s, AutoMode v) { s.exposureAuto = v; }});
    map.addEnumeration<AutoMode>("GainAuto", Writable::Always,
                                 {autoModes, [](const Settings& s) { return s.gainAuto; },
                                  [](Settings& s, AutoMode v) { s.gainAuto = v; }});
}

// An int setting seen as the value of an integer node.
std::function<std::int64_t(const Settings&)> intGetter(int Settings::*field) {
    return [field](const Settings& s) { return std::int64_t{s.*field}; };
}

std::function<void(Settings&, std::int64_t)> intSetter(int Settings::*field) {
    return [field](Settings& s, std::int64_t v) { s.*field = static_cast<int>(v); };
}

void addRegion(CameraNodeMap& map) {
    const std::int64_t minWidth = sensorModel().minWidth;
    const std::int64_t minHeight = sensorModel().minHeight;
    map.addInteger("Width", Writable::NotWhileGrabbing,
                   {intGetter(&Settings::width), constant(minWidth),
                    [](const Settings& s) { return std::int64_t{s.columns() - s.offsetX}; },
                    intSetter(&Settings::width)});
    map.addInteger("Height", Writable::NotWhileGrabbing,
                   {intGetter(&Settings::height), constant(minHeight),
                    [](const Settings& s) { return std::int64_t{s.rows() - s.offsetY}; },
                    intSetter(&Settings::height)});
    map.addInteger("OffsetX", Writable::Always,
                   {intGetter(&Settings::offsetX), constant(std::int64_t{0}),
                    [](const Settings& s) { return std::int64_t{s.columns() - s.width}; },
                    intSetter(&Settings::offsetX)});
    map.addInteger("OffsetY", Writable::Always,
                   {intGetter(&Settings::offsetY), constant(std::int64_t{0}),
                    [](const Settings& s) { return std::int64_t{s.rows() - s.height}; },
                    intSetter(&Settings::offsetY)});
    map.addInteger("BinningHorizontal", Writable::NotWhileGrabbing,
                   {intGetter(&Settings::binningHorizontal), constant(std::int64_t{1}),
                    constant(std::int64_t{2}), [minWidth](Settings& s, std::int64_t v) {
                        const int old = s.binningHorizontal;
                        s.binningHorizontal = static_cast<int>(v);
                        rebin(s.width, s.offsetX, old, s.binningHorizontal, s.columns(),
                              static_cast<int>(minWidth));
                    }});
    map.addInteger("BinningVertical", Writable::NotWhileGrabbing,
                   {intGetter(&Settings::binningVertical), constant(std::int64_t{1}),
                    constant(std::int64_t{2}), [minHeight](Settings& s, std::int64_t v) {
                        const int old = s.binningVertical;
                        s.binningVertical = static_cast<int>(v);
                        rebin(s.height, s.offsetY, old, s.binningVertical, s.rows(),
                              static_cast<int>(minHeight));
                    }});
    map.addEnumeration<PixelFormat>(
        "PixelFormat", Writable::NotWhileGrabbing,
        {{{PixelFormat::Mono8, "Mono8"}, {PixelFormat::Mono12, "Mono12"}},
         [](const Settings& s) { return s.pixelFormat; },
         [](Settings& s, PixelFormat v) { s.pixelFormat = v; }});
    map.addEnumeration<TestPattern>(
        "TestPattern", Writable::Always,
        {{{TestPattern::Off, "Off"}, {TestPattern::GreyDiagonalSawtooth, "GreyDiagonalSawtooth"}},
         [](const Settings& s) { return s.testPattern; },
         [](Settings& s, TestPattern v) { s.testPattern = v; }});
}

const std::vector<std::pair<OnOff, std::string>> kOnOff = {{OnOff::Off, "Off"}, {OnOff::On, "On"}};

void addLines(CameraNodeMap& map) {
    map.addEnumeration<int>("LineSelector", Writable::Always,
                            {{{kTriggerLine, "Line1"}, {kLampLine, "Line2"}},
                             [](const Settings& s) { return s.lineSelector; },
                             [](Settings& s, int v) { s.lineSelector = v; }});
    map.addEnumeration<LineMode>(
        "LineMode", Writable::Always,
        {{{LineMode::Input, "Input"}, {LineMode::Output, "Output"}},
         [](const Settings& s) { return s.lines[s.lineSelector].mode; },
         [](Settings& s, LineMode v) {
             if (s.lineSelector == kTriggerLine && v != LineMode::Input)
                 throw camera::OutOfRangeException("Line1 is an input line");
             s.lines[s.lineSelector].mode = v;
         }});
    map.addEnumeration<LineSource>(
        "LineSource", Writable::Always,
        {{{LineSource::Off, "Off"},
          {LineSource::ExposureActive, "ExposureActive"},
          {LineSource::UserOutput1, "UserOutput1"}},
         [](const Settings& s) { return s.lines[s.lineSelector].source; },
         [](Settings& s, LineSource v) {
             if (s.lines[s.lineSelector].mode != LineMode::Output)
                 throw camera::AccessException("LineSource of an input line is not writable");
             s.lines[s.lineSelector].source = v;
         }});
    map.addBoolean("UserOutputValue", &Settings::userOutputValue);
}

void addTriggerAndModes(CameraNodeMap& map) {
    map.addEnumeration<TriggerSelector>(
        "TriggerSelector", Writable::Always,
        {{{TriggerSelector::FrameStart, "FrameStart"}},
         [](const Settings& s) { return s.triggerSelector; },
         [](Settings& s, TriggerSelector v) { s.triggerSelector = v; }});
    map.addEnumeration<OnOff>("TriggerMode", Writable::Always,
                              {kOnOff, [](const Settings& s) { return s.triggerMode; },
                               [](Settings& s, OnOff v) { s.triggerMode = v; }});
    map.addEnumeration<TriggerSource>(
        "TriggerSource", Writable::Always,
        {{{TriggerSource::Software, "Software"}, {TriggerSource::Line1, "Line1"}},
         [](const Settings& s) { return s.triggerSource; },
         [](Settings& s, TriggerSource v) { s.triggerSource = v; }});
    map.addEnumeration<TriggerActivation>(
        "TriggerActivation", Writable::Always,
        {{{TriggerActivation::RisingEdge, "RisingEdge"},
          {TriggerActivation::FallingEdge, "FallingEdge"}},
         [](const Settings& s) { return s.triggerActivation; },
         [](Settings& s, TriggerActivation v) { s.triggerActivation = v; }});
    map.addEnumeration<AcquisitionMode>(
        "AcquisitionMode", Writable::Always,
        {{{AcquisitionMode::SingleFrame, "SingleFrame"},
          {AcquisitionMode::Continuous, "Continuous"}},
         [](const Settings& s) { return s.acquisitionMode; },
         [](Settings& s, AcquisitionMode v) { s.acquisitionMode = v; }});
    map.addEnumeration<OnOff>("OverlapMode", Writable::Always,
                              {kOnOff, [](const Settings& s) { return s.overlapMode; },
                               [](Settings& s, OnOff v) { s.overlapMode = v; }});
}

}  // namespace

std::unique_ptr<camera::NodeMap> makeCameraNodeMap(CameraState& state,
                                                   const std::set<std::string>& missing) {
    auto map = std::make_unique<CameraNodeMap>(state, missing);
    addExposureAndGain(*map);
    addRegion(*map);
    addLines(*map);
    addTriggerAndModes(*map);
    return map;
}

}  // namespace kelo::simcam
