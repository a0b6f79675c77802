#include "ArvNodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace kelo::arvcam {

void throwIfFailed(GError* error, const ArvLink& link, const char* what) {
    if (error == nullptr) return;
    const std::string message = std::string(what) + ": " + error->message;
    g_error_free(error);
    if (link.lost) throw camera::RuntimeException("the camera device has been removed");
    throw camera::GenericException(message);
}

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// 12-bit pixels come unpacked or in either packed layout; the instrument
// asks for, and knows them all by, "Mono12".
constexpr const char* kTwelveBit = "Mono12";
constexpr const char* kTwelveBitFormats[] = {"Mono12", "Mono12p", "Mono12Packed"};

bool isTwelveBitFormat(const char* symbol) {
    return std::any_of(std::begin(kTwelveBitFormats), std::end(kTwelveBitFormats),
                       [symbol](const char* format) { return std::strcmp(format, symbol) == 0; });
}

// Behaviour common to every wrapped feature: access mode and errors.
template <typename Interface>
class ArvNode : public Interface {
public:
    ArvNode(ArvLink& link, ArvGcNode* node, std::string name)
        : link(link), node(node), name(std::move(name)) {}

    camera::AccessMode accessMode() const override {
        Lock lock(link.lock);
        GError* error = nullptr;
        ArvGcFeatureNode* feature = ARV_GC_FEATURE_NODE(node);
        const bool available = arv_gc_feature_node_is_available(feature, &error);
        if (error != nullptr) g_error_free(error);
        if (!available) return camera::AccessMode::NotAvailable;
        switch (arv_gc_feature_node_get_actual_access_mode(feature)) {
            case ARV_GC_ACCESS_MODE_RO: return camera::AccessMode::ReadOnly;
            case ARV_GC_ACCESS_MODE_WO: return camera::AccessMode::WriteOnly;
            case ARV_GC_ACCESS_MODE_RW: return camera::AccessMode::ReadWrite;
            default: return camera::AccessMode::NotAvailable;
        }
    }

protected:
    void checkWritable() const {
        if (!camera::isWritable(accessMode()))
            throw camera::AccessException(name + " is not writable");
    }
    void check(GError* error, const char* what) const {
        if (error != nullptr) throwIfFailed(error, link, (name + " " + what).c_str());
    }
    // A value read with one of the library's getters of this node's type.
    template <typename Result, typename Type>
    Result read(Result (*get)(Type*, GError**), Type* typed, const char* what) const {
        Lock lock(link.lock);
        GError* error = nullptr;
        const Result result = get(typed, &error);
        check(error, what);
        return result;
    }
    [[noreturn]] void outOfRange(const std::string& value) const {
        throw camera::OutOfRangeException(value + " is outside the limits of " + name);
    }
    void verifyEqual(bool equal, bool verify) const {
        if (verify && !equal) throw camera::VerifyException(name + " did not take the value");
    }

    ArvLink& link;
    ArvGcNode* const node;
    const std::string name;
};

class FloatFeature : public ArvNode<camera::FloatNode> {
public:
    using ArvNode::ArvNode;
    double value() const override { return get(arv_gc_float_get_value, "read"); }
    double minimum() const override { return get(arv_gc_float_get_min, "minimum"); }
    double maximum() const override { return get(arv_gc_float_get_max, "maximum"); }
    void setValue(double value, bool verify) override {
        Lock lock(link.lock);
        if (!std::isfinite(value) || value < minimum() || value > maximum())
            outOfRange(std::to_string(value));
        checkWritable();
        GError* error = nullptr;
        arv_gc_float_set_value(ARV_GC_FLOAT(node), value, &error);
        check(error, "write");
        // A camera rounds to its own steps: a read-back within one step (or
        // a thousandth) is the value written.
        const double step = std::max(get(arv_gc_float_get_inc, "increment"), 1e-3 * std::fabs(value));
        verifyEqual(std::fabs(this->value() - value) <= std::max(step, 1e-9), verify);
    }

private:
    double get(double (*getter)(ArvGcFloat*, GError**), const char* what) const {
        return read(getter, ARV_GC_FLOAT(node), what);
    }
};

class IntegerFeature : public ArvNode<camera::IntegerNode> {
public:
    using ArvNode::ArvNode;
    std::int64_t value() const override { return get(arv_gc_integer_get_value, "read"); }
    std::int64_t minimum() const override { return get(arv_gc_integer_get_min, "minimum"); }
    std::int64_t maximum() const override { return get(arv_gc_integer_get_max, "maximum"); }
    std::int64_t increment() const override {
        return std::max<std::int64_t>(get(arv_gc_integer_get_inc, "increment"), 1);
    }
    void setValue(std::int64_t value, bool verify) override {
        Lock lock(link.lock);
        if (value < minimum() || value > maximum() || (value - minimum()) % increment() != 0)
            outOfRange(std::to_string(value));
        checkWritable();
        GError* error = nullptr;
        arv_gc_integer_set_value(ARV_GC_INTEGER(node), value, &error);
        check(error, "write");
        verifyEqual(this->value() == value, verify);
    }

private:
    std::int64_t get(gint64 (*getter)(ArvGcInteger*, GError**), const char* what) const {
        return read(getter, ARV_GC_INTEGER(node), what);
    }
};

class EnumerationFeature : public ArvNode<camera::EnumerationNode> {
public:
    using ArvNode::ArvNode;
    std::string value() const override {
        const char* symbol =
            read(arv_gc_enumeration_get_string_value, ARV_GC_ENUMERATION(node), "read");
        if (symbol == nullptr) return {};
        return isTwelveBitFormat(symbol) ? kTwelveBit : symbol;
    }
    bool hasSymbol(const std::string& symbol) const override {
        return !cameraSymbol(symbol).empty();
    }
    void setValue(const std::string& symbol, bool verify) override {
        Lock lock(link.lock);
        const std::string served = cameraSymbol(symbol);
        if (served.empty()) outOfRange(symbol);
        checkWritable();
        GError* error = nullptr;
        arv_gc_enumeration_set_string_value(ARV_GC_ENUMERATION(node), served.c_str(), &error);
        check(error, "write");
        verifyEqual(value() == symbol, verify);
    }

private:
    // The camera's available symbol that serves `symbol`, or empty.
    std::string cameraSymbol(const std::string& symbol) const {
        Lock lock(link.lock);
        GError* error = nullptr;
        guint count = 0;
        const char** available = arv_gc_enumeration_dup_available_string_values(
            ARV_GC_ENUMERATION(node), &count, &error);
        check(error, "symbols");
        const auto offers = [&](const std::string& candidate) {
            for (guint i = 0; i < count; ++i)
                if (candidate == available[i]) return true;
            return false;
        };
        // The symbol itself or, for 12-bit pixels, a packed layout.
        std::string served;
        if (offers(symbol)) {
            served = symbol;
        } else if (symbol == kTwelveBit) {
            for (const char* format : kTwelveBitFormats)
                if (served.empty() && offers(format)) served = format;
        }
        g_free(available);
        return served;
    }
};

class BooleanFeature : public ArvNode<camera::BooleanNode> {
public:
    using ArvNode::ArvNode;
    bool value() const override {
        return read(arv_gc_boolean_get_value, ARV_GC_BOOLEAN(node), "read");
    }
    void setValue(bool value, bool verify) override {
        Lock lock(link.lock);
        checkWritable();
        GError* error = nullptr;
        arv_gc_boolean_set_value(ARV_GC_BOOLEAN(node), value, &error);
        check(error, "write");
        verifyEqual(this->value() == value, verify);
    }
};

bool isFloat(ArvGcNode* node) { return ARV_IS_GC_FLOAT(node); }
bool isInteger(ArvGcNode* node) { return ARV_IS_GC_INTEGER(node) && !ARV_IS_GC_ENUMERATION(node); }
bool isEnumeration(ArvGcNode* node) { return ARV_IS_GC_ENUMERATION(node); }
bool isBoolean(ArvGcNode* node) { return ARV_IS_GC_BOOLEAN(node); }

}  // namespace

ArvNodeMap::ArvNodeMap(ArvLink& link) : link(link) {}

ArvNodeMap::~ArvNodeMap() = default;

template <typename Wrapper>
Wrapper* ArvNodeMap::lookUp(const std::string& name, bool (*hasType)(ArvGcNode*)) {
    Lock lock(link.lock);
    auto known = nodes.find(name);
    if (known != nodes.end()) return dynamic_cast<Wrapper*>(known->second.get());
    ArvGcNode* node = arv_device_get_feature(link.device, name.c_str());
    if (node == nullptr || !hasType(node)) return nullptr;
    auto wrapper = std::make_unique<Wrapper>(link, node, name);
    Wrapper* result = wrapper.get();
    nodes.emplace(name, std::move(wrapper));
    return result;
}

camera::FloatNode* ArvNodeMap::floatNode(const std::string& name) {
    return lookUp<FloatFeature>(name, isFloat);
}

camera::IntegerNode* ArvNodeMap::integerNode(const std::string& name) {
    return lookUp<IntegerFeature>(name, isInteger);
}

camera::EnumerationNode* ArvNodeMap::enumerationNode(const std::string& name) {
    return lookUp<EnumerationFeature>(name, isEnumeration);
}

camera::BooleanNode* ArvNodeMap::booleanNode(const std::string& name) {
    return lookUp<BooleanFeature>(name, isBoolean);
}

}  // namespace kelo::arvcam
